#include "report/PdfTextLayer.h"

#include <QGlyphRun>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QTextLayout>
#include <QtEndian>

#include <algorithm>
#include <optional>

namespace report::PdfTextLayer {

namespace {

// What each glyph of a painted line stands for, in the order the writer puts the glyphs into
// the page: logical order, one entry per glyph; a glyph that stands for several characters
// (a ligature) holds them all, the glyphs after the first of a character hold nothing.
void addGlyphTexts(const QString& text, const QFont& font, QStringList& out) {
    if (text.isEmpty())
        return;
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return;
    // Code points: a character beyond the basic plane is two code units and one glyph.
    QList<std::pair<int, int>> points;
    for (int i = 0; i < text.size();) {
        const int length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        points.append({i, length});
        i += length;
    }
    qsizetype glyphs = 0;
    for (const QGlyphRun& run : line.glyphRuns())
        glyphs += run.glyphIndexes().size();
    if (glyphs == points.size()) {
        for (const auto& [at, length] : points)
            out.append(text.mid(at, length));
        return;
    }
    // Ligatures or characters of several glyphs: each character asks for its own glyphs; the
    // characters that share a glyph with the one before join its text.
    QList<QList<quint32>> previous;
    for (const auto& [at, length] : points) {
        QList<QList<quint32>> mine;
        for (const QGlyphRun& run : line.glyphRuns(at, length))
            mine.append(run.glyphIndexes());
        if (!out.isEmpty() && !mine.isEmpty() && mine == previous) {
            out.last() += text.mid(at, length);
            continue;
        }
        qsizetype count = 0;
        for (const QList<quint32>& indexes : std::as_const(mine))
            count += indexes.size();
        for (qsizetype g = 0; g < count; ++g)
            out.append(g == 0 ? text.mid(at, length) : QString());
        previous = mine;
    }
}

QStringList glyphTexts(const QList<const Page*>& layers) {
    QStringList out;
    QHash<QString, QFont> fonts;
    for (const Page* page : layers) {
        for (const DrawOp& op : page->ops) {
            const auto* text = std::get_if<TextOp>(&op);
            if (!text)
                continue;
            const QString key = text->font.family + u'/' + QString::number(text->font.bold);
            auto font = fonts.find(key);
            if (font == fonts.end())
                font = fonts.insert(key, text->font.toFont());
            for (const QString& line : text->lines)
                addGlyphTexts(line, *font, out);
        }
    }
    return out;
}

// The objects of a PDF file with a classic cross-reference table, as the writer makes them.
class PdfFile {
public:
    explicit PdfFile(const QByteArray& bytes) : bytes_(bytes) { valid_ = readTable(); }

    bool valid() const { return valid_; }
    QByteArray body(int id) const {
        const auto at = offsets_.constFind(id);
        if (at == offsets_.constEnd())
            return {};
        const qsizetype start = bytes_.indexOf("obj", *at);
        const qsizetype end = bytes_.indexOf("endobj", start);
        return start < 0 || end < 0 ? QByteArray() : bytes_.mid(start + 3, end - start - 3);
    }
    QByteArray trailer() const { return bytes_.mid(trailerAt_); }

    // A stream's data, inflated when it is compressed; empty when unreadable.
    QByteArray streamData(int id) const {
        const QByteArray object = body(id);
        qsizetype start = object.indexOf("stream");
        const qsizetype end = object.lastIndexOf("endstream");
        if (start < 0 || end < start)
            return {};
        start += 6;
        if (object.at(start) == '\r')
            ++start;
        if (object.at(start) == '\n')
            ++start;
        QByteArray data = object.mid(start, end - start);
        while (!data.isEmpty() && (data.endsWith('\n') || data.endsWith('\r')))
            data.chop(1);
        if (!object.left(start).contains("/FlateDecode"))
            return data;
        // qUncompress takes zlib data behind the expected length; it grows from a low guess.
        QByteArray framed(4, '\0');
        qToBigEndian<quint32>(static_cast<quint32>(data.size() * 16), framed.data());
        return qUncompress(framed + data);
    }

    // The file again, with some objects' whole bodies replaced and a new cross-reference table.
    QByteArray rewritten(const QHash<int, QByteArray>& replaced) const {
        QList<std::pair<qsizetype, int>> order;
        for (auto it = offsets_.cbegin(); it != offsets_.cend(); ++it)
            order.append({it.value(), it.key()});
        std::sort(order.begin(), order.end());
        QByteArray out = bytes_.left(order.isEmpty() ? xrefAt_ : order.first().first);
        QMap<int, qsizetype> written;
        for (qsizetype i = 0; i < order.size(); ++i) {
            const auto [offset, id] = order[i];
            const qsizetype next = i + 1 < order.size() ? order[i + 1].first : xrefAt_;
            written.insert(id, out.size());
            if (replaced.contains(id))
                out += QByteArray::number(id) + " 0 obj\n" + replaced.value(id) + "endobj\n";
            else
                out += bytes_.mid(offset, next - offset);
        }
        const qsizetype xref = out.size();
        out += "xref\n0 " + QByteArray::number(size_) + "\n0000000000 65535 f \n";
        for (int id = 1; id < size_; ++id) {
            if (written.contains(id))
                out +=
                    QByteArray::number(written.value(id)).rightJustified(10, '0') + " 00000 n \n";
            else
                out += "0000000000 65535 f \n";
        }
        out += trailer().left(trailer().indexOf("startxref"));
        out += "startxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
        return out;
    }

private:
    bool readTable() {
        const qsizetype start = bytes_.lastIndexOf("startxref");
        if (start < 0)
            return false;
        bool ok = false;
        xrefAt_ = bytes_.mid(start + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
        if (!ok || !bytes_.mid(xrefAt_).startsWith("xref"))
            return false;
        trailerAt_ = bytes_.indexOf("trailer", xrefAt_);
        if (trailerAt_ < 0)
            return false;
        const QList<QByteArray> lines = bytes_.mid(xrefAt_, trailerAt_ - xrefAt_).split('\n');
        // One section from object 0, as the writer makes it.
        const QList<QByteArray> head = lines.value(1).trimmed().split(' ');
        if (head.size() != 2 || head[0] != "0")
            return false;
        size_ = head[1].toInt(&ok);
        if (!ok || lines.size() < size_ + 2)
            return false;
        for (int id = 1; id < size_; ++id) {
            const QByteArray entry = lines[id + 2].trimmed();
            if (entry.endsWith('n'))
                offsets_.insert(id, entry.left(10).toLongLong());
        }
        return true;
    }

    QByteArray bytes_;
    QHash<int, qsizetype> offsets_;
    qsizetype xrefAt_ = 0;
    qsizetype trailerAt_ = 0;
    int size_ = 0;
    bool valid_ = false;
};

std::optional<int> reference(const QByteArray& object, const QByteArray& key) {
    static QHash<QByteArray, QRegularExpression> patterns;
    auto found = patterns.find(key);
    if (found == patterns.end())
        found = patterns.insert(
            key, QRegularExpression(QRegularExpression::escape(QString::fromLatin1(key)) +
                                    QStringLiteral("\\s+(\\d+)\\s+0\\s+R")));
    const QRegularExpressionMatch match = found->match(QString::fromLatin1(object));
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

// The page objects in the order of the page tree.
void collectPages(const PdfFile& file, int id, QList<int>& pages, int depth = 0) {
    const QByteArray object = file.body(id);
    if (depth > 32 || object.isEmpty())
        return;
    if (!object.contains("/Kids")) {
        pages.append(id);
        return;
    }
    const qsizetype open = object.indexOf('[', object.indexOf("/Kids"));
    const qsizetype close = object.indexOf(']', open);
    static const QRegularExpression kid(QStringLiteral("(\\d+)\\s+0\\s+R"));
    const QString kids = QString::fromLatin1(object.mid(open + 1, close - open - 1));
    for (const QRegularExpressionMatch& match : kid.globalMatch(kids))
        collectPages(file, match.captured(1).toInt(), pages, depth + 1);
}

// The font resources of a page: resource name to font object.
QHash<QByteArray, int> pageFonts(const PdfFile& file, const QByteArray& page) {
    QByteArray resources = page;
    if (const std::optional<int> id = reference(page, "/Resources"))
        resources = file.body(*id);
    QHash<QByteArray, int> fonts;
    const qsizetype at = resources.indexOf("/Font");
    if (at < 0)
        return fonts;
    QByteArray dictionary = resources.mid(at + 5);
    if (const std::optional<int> id = reference(resources, "/Font"))
        dictionary = file.body(*id);
    const qsizetype open = dictionary.indexOf("<<");
    const qsizetype close = dictionary.indexOf(">>", open);
    static const QRegularExpression entry(QStringLiteral("/(\\S+)\\s+(\\d+)\\s+0\\s+R"));
    const QString entries = QString::fromLatin1(dictionary.mid(open + 2, close - open - 2));
    for (const QRegularExpressionMatch& match : entry.globalMatch(entries))
        fonts.insert(match.captured(1).toLatin1(), match.captured(2).toInt());
    return fonts;
}

struct ShownGlyph {
    QByteArray font;
    quint16 cid;
};

bool isSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool isDelimiter(char c) {
    switch (c) {
    case '(':
    case ')':
    case '<':
    case '>':
    case '[':
    case ']':
    case '{':
    case '}':
    case '/':
    case '%':
        return true;
    default:
        return isSpace(c);
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The glyphs a content stream shows, in order, with the font resource of each. Glyphs are
// shown by hex strings of two-byte glyph numbers, as the writer shows them.
QList<ShownGlyph> shownGlyphs(const QByteArray& content) {
    QList<ShownGlyph> shown;
    QByteArray font;
    QByteArrayView lastName;
    QList<quint16> pending;
    const char* p = content.constData();
    const char* const end = p + content.size();
    while (p < end) {
        const char c = *p;
        if (isSpace(c) || c == '[' || c == ']') {
            ++p;
        } else if (c == '%') {
            while (p < end && *p != '\n' && *p != '\r')
                ++p;
        } else if (c == '/') {
            const char* start = ++p;
            while (p < end && !isDelimiter(*p))
                ++p;
            lastName = QByteArrayView(start, p - start);
        } else if (c == '>' || (c == '<' && p + 1 < end && p[1] == '<')) {
            p += c == '<' ? 2 : 1;
        } else if (c == '<') {
            int digits = 0;
            uint value = 0;
            for (++p; p < end && *p != '>'; ++p) {
                const int v = hexValue(*p);
                if (v < 0)
                    continue;
                value = (value << 4) | uint(v);
                if (++digits == 4) {
                    pending.append(static_cast<quint16>(value));
                    digits = 0;
                    value = 0;
                }
            }
            ++p;
        } else if (c == '(') {
            // A literal string: the writer shows no glyphs this way; skipped whole.
            int depth = 0;
            for (; p < end; ++p) {
                if (*p == '\\')
                    ++p;
                else if (*p == '(')
                    ++depth;
                else if (*p == ')' && --depth == 0)
                    break;
            }
            ++p;
        } else {
            const char* start = p;
            while (p < end && !isDelimiter(*p))
                ++p;
            if (p == start) {
                ++p;
                continue;
            }
            if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.')
                continue;
            const QByteArrayView token(start, p - start);
            if (token == "Tf") {
                font = lastName.toByteArray();
            } else if (token == "Tj" || token == "TJ" || token == "'" || token == "\"") {
                for (const quint16 cid : std::as_const(pending))
                    shown.append({font, cid});
            }
            pending.clear();
        }
    }
    return shown;
}

QByteArray hex4(uint value) {
    return QByteArray::number(value, 16).toUpper().rightJustified(4, '0');
}

QByteArray utf16Hex(const QString& text) {
    QByteArray out;
    for (const QChar c : text)
        out += hex4(c.unicode());
    return out;
}

// The character map the writer made: glyph to its text.
QMap<quint16, QString> readMap(const QByteArray& cmap) {
    QMap<quint16, QString> map;
    const auto textOf = [](const QByteArray& hex) {
        const QByteArray bytes = QByteArray::fromHex(hex);
        QString text;
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
            text += QChar(static_cast<char16_t>((quint8(bytes[i]) << 8) | quint8(bytes[i + 1])));
        return text;
    };
    static const QRegularExpression ranges(QStringLiteral("beginbfrange(.*?)endbfrange"),
                                           QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression chars(QStringLiteral("beginbfchar(.*?)endbfchar"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression range(QStringLiteral(
        "<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(?:<([0-9A-Fa-f]+)>|\\[([^\\]]*)\\])"));
    static const QRegularExpression pair(QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>"));
    static const QRegularExpression hex(QStringLiteral("<([0-9A-Fa-f]+)>"));
    const QString text = QString::fromLatin1(cmap);
    for (const QRegularExpressionMatch& block : ranges.globalMatch(text)) {
        for (const QRegularExpressionMatch& r : range.globalMatch(block.captured(1))) {
            const uint from = r.captured(1).toUInt(nullptr, 16);
            const uint to = r.captured(2).toUInt(nullptr, 16);
            if (!r.captured(3).isEmpty()) {
                const QString start = textOf(r.captured(3).toLatin1());
                for (uint cid = from; cid <= to && cid <= 0xFFFF && !start.isEmpty(); ++cid) {
                    QString value = start;
                    value.back() =
                        QChar(static_cast<char16_t>(value.back().unicode() + cid - from));
                    map.insert(static_cast<quint16>(cid), value);
                }
            } else {
                uint cid = from;
                for (const QRegularExpressionMatch& h : hex.globalMatch(r.captured(4))) {
                    if (cid > to)
                        break;
                    map.insert(static_cast<quint16>(cid++), textOf(h.captured(1).toLatin1()));
                }
            }
        }
    }
    for (const QRegularExpressionMatch& block : chars.globalMatch(text))
        for (const QRegularExpressionMatch& p : pair.globalMatch(block.captured(1)))
            map.insert(static_cast<quint16>(p.captured(1).toUInt(nullptr, 16)),
                       textOf(p.captured(2).toLatin1()));
    return map;
}

QByteArray writeMap(const QMap<quint16, QString>& map) {
    QByteArray cmap = "/CIDInit /ProcSet findresource begin\n"
                      "12 dict begin\n"
                      "begincmap\n"
                      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                      "/CMapName /Adobe-Identity-UCS def\n"
                      "/CMapType 2 def\n"
                      "1 begincodespacerange\n"
                      "<0000> <FFFF>\n"
                      "endcodespacerange\n";
    QList<std::pair<quint16, QString>> entries;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        if (!it.value().isEmpty())
            entries.append({it.key(), it.value()});
    // At most 100 entries to a block.
    for (qsizetype i = 0; i < entries.size(); i += 100) {
        const qsizetype count = std::min<qsizetype>(100, entries.size() - i);
        cmap += QByteArray::number(count) + " beginbfchar\n";
        for (qsizetype j = i; j < i + count; ++j)
            cmap += '<' + hex4(entries[j].first) + "> <" + utf16Hex(entries[j].second) + ">\n";
        cmap += "endbfchar\n";
    }
    cmap += "endcmap\n"
            "CMapName currentdict /CMap defineresource pop\n"
            "end\n"
            "end\n";
    return "<< /Length " + QByteArray::number(cmap.size()) + " >>\nstream\n" + cmap +
           "\nendstream\n";
}

} // namespace

QByteArray rebuilt(const QByteArray& pdf, const PaintedPages& painted) {
    const PdfFile file(pdf);
    if (!file.valid())
        return pdf;
    const std::optional<int> root = reference(file.trailer(), "/Root");
    const std::optional<int> tree = root ? reference(file.body(*root), "/Pages") : std::nullopt;
    if (!tree)
        return pdf;
    QList<int> pages;
    collectPages(file, *tree, pages);
    if (pages.size() != painted.size())
        return pdf;

    // Glyph to text, per font object; the first text a glyph shows wins.
    QHash<int, QMap<quint16, QString>> found;
    for (qsizetype p = 0; p < pages.size(); ++p) {
        const QByteArray page = file.body(pages[p]);
        const std::optional<int> contents = reference(page, "/Contents");
        if (!contents)
            continue;
        const QList<ShownGlyph> shown = shownGlyphs(file.streamData(*contents));
        const QStringList texts = glyphTexts(painted[p]);
        if (shown.size() != texts.size())
            continue;
        const QHash<QByteArray, int> fonts = pageFonts(file, page);
        for (qsizetype g = 0; g < shown.size(); ++g) {
            const auto font = fonts.constFind(shown[g].font);
            if (font == fonts.constEnd() || texts[g].isEmpty())
                continue;
            QMap<quint16, QString>& map = found[*font];
            if (!map.contains(shown[g].cid))
                map.insert(shown[g].cid, texts[g]);
        }
    }

    QHash<int, QByteArray> replaced;
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
        const std::optional<int> toUnicode = reference(file.body(it.key()), "/ToUnicode");
        if (!toUnicode)
            continue;
        QMap<quint16, QString> map = readMap(file.streamData(*toUnicode));
        for (auto glyph = it.value().cbegin(); glyph != it.value().cend(); ++glyph)
            map.insert(glyph.key(), glyph.value());
        replaced.insert(*toUnicode, writeMap(map));
    }
    return replaced.isEmpty() ? pdf : file.rewritten(replaced);
}

} // namespace report::PdfTextLayer
