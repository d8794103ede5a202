#include "sheets/XlsxReader.h"

#include "base/AppError.h"
#include "sheets/SheetBuilder.h"
#include "sheets/ZipArchive.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>

namespace {

// A part's XML read as it unpacks; each failure names the file and what went wrong with it.
class PartXml {
public:
    PartXml(ZipArchive& archive, const QString& part, const QString& shownFile)
        : device_(archive.open(part, XlsxReader::kMaxPartBytes)), part_(part),
          shownFile_(shownFile) {
        if (device_)
            xml_.setDevice(device_.get());
    }
    bool exists() const { return device_ != nullptr; }
    QXmlStreamReader& xml() { return xml_; }

    // The next token; fails on damaged XML or data.
    QXmlStreamReader::TokenType next() {
        const QXmlStreamReader::TokenType token = xml_.readNext();
        if (xml_.hasError())
            fail();
        return token;
    }
    bool atEnd() const { return xml_.atEnd(); }

    [[noreturn]] void fail() const {
        if (device_->tooLarge())
            throw AppError(QStringLiteral("文件“%1”解压后超过 %2 MB，不像是正常的表格文件，"
                                          "已停止读取。")
                               .arg(shownFile_)
                               .arg(XlsxReader::kMaxPartBytes >> 20));
        if (device_->damaged())
            throw AppError(QStringLiteral("文件“%1”已损坏（%2 的压缩数据有误），无法读取。")
                               .arg(shownFile_, part_));
        throw AppError(QStringLiteral("文件“%1”已损坏（%2 第 %3 行的内容不是正确的 XML："
                                      "%4），无法读取。")
                           .arg(shownFile_, part_)
                           .arg(xml_.lineNumber())
                           .arg(xml_.errorString()));
    }

private:
    std::unique_ptr<ZipArchive::Part> device_;
    QXmlStreamReader xml_;
    QString part_;
    QString shownFile_;
};

// A relationship's target as a part name: relative to the folder of the part it belongs to,
// or from the archive's root when it starts with "/".
QString resolved(const QString& fromPart, const QString& target) {
    if (target.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(target.mid(1));
    const QString folder = QFileInfo(fromPart).path();
    return QDir::cleanPath(folder == QLatin1String(".") ? target
                                                        : folder + QLatin1Char('/') + target);
}

// The relationships of a part: id to target part, and type to target part.
struct Relationships {
    QHash<QString, QString> byId;
    QHash<QString, QString> byType;
};

Relationships relationshipsOf(ZipArchive& archive, const QString& part, const QString& shown) {
    const QFileInfo info(part);
    const QString folder = info.path() == QLatin1String(".") ? QString() : info.path() + '/';
    PartXml rels(archive, folder + QStringLiteral("_rels/") + info.fileName() + ".rels", shown);
    Relationships out;
    if (!rels.exists())
        return out;
    while (!rels.atEnd()) {
        if (rels.next() != QXmlStreamReader::StartElement ||
            rels.xml().name() != QLatin1String("Relationship"))
            continue;
        const QXmlStreamAttributes a = rels.xml().attributes();
        if (a.value(QLatin1String("TargetMode")) == QLatin1String("External"))
            continue;
        const QString target = resolved(part, a.value(QLatin1String("Target")).toString());
        const QString type = a.value(QLatin1String("Type")).toString();
        out.byId.insert(a.value(QLatin1String("Id")).toString(), target);
        out.byType.insert(type.mid(type.lastIndexOf(QLatin1Char('/')) + 1), target);
    }
    return out;
}

// Characters the XML cannot hold are written "_xHHHH_" (and an underscore that would read as
// such a code "_x005F_"); spreadsheet applications decode them, and so do we.
QString decoded(const QString& text) {
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('_') && i + 6 < text.size() &&
            text.at(i + 1) == QLatin1Char('x') && text.at(i + 6) == QLatin1Char('_')) {
            bool ok = false;
            const ushort code = text.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out.append(QChar(code));
                i += 6;
                continue;
            }
        }
        out.append(text.at(i));
    }
    return out;
}

// The text of a string item (<si>, <is>): its <t> elements, leaving out phonetic runs.
QString stringItem(PartXml& part, QStringView item) {
    QString text;
    int phonetic = 0;
    bool inText = false;
    while (!part.atEnd()) {
        switch (part.next()) {
        case QXmlStreamReader::StartElement:
            if (part.xml().name() == QLatin1String("rPh"))
                ++phonetic;
            else if (part.xml().name() == QLatin1String("t"))
                inText = phonetic == 0;
            break;
        case QXmlStreamReader::EndElement:
            if (part.xml().name() == QLatin1String("rPh"))
                --phonetic;
            else if (part.xml().name() == QLatin1String("t"))
                inText = false;
            else if (part.xml().name() == item)
                return decoded(text);
            break;
        case QXmlStreamReader::Characters:
            if (inText)
                text += part.xml().text();
            break;
        default:
            break;
        }
    }
    return decoded(text);
}

// Column of a cell reference such as "AB12", from 0; -1 when it names none.
qint64 columnOf(QStringView reference) {
    qint64 column = 0;
    qsizetype letters = 0;
    for (const QChar c : reference) {
        const char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z')
            column = column * 26 + (u - u'A' + 1);
        else if (u >= u'a' && u <= u'z')
            column = column * 26 + (u - u'a' + 1);
        else
            break;
        // Far beyond any sheet's width already; the builder says so.
        if (++letters > 6)
            return SheetBuilder::kMaxColumns + column % 26;
    }
    return letters == 0 ? -1 : column - 1;
}

} // namespace

XlsxReader::XlsxReader(const QString& path)
    : archive_(std::make_unique<ZipArchive>(path)), shownName_(QDir::toNativeSeparators(path)) {
    const Relationships package = relationshipsOf(*archive_, QString(), shownName_);
    const QString workbook =
        package.byType.value(QStringLiteral("officeDocument"), QStringLiteral("xl/workbook.xml"));
    PartXml book(*archive_, workbook, shownName_);
    if (!book.exists())
        throw AppError(
            QStringLiteral("文件“%1”不是 Excel 表格（里面没有工作簿）。").arg(shownName_));
    QList<QPair<QString, QString>> named;
    while (!book.atEnd()) {
        if (book.next() != QXmlStreamReader::StartElement ||
            book.xml().name() != QLatin1String("sheet"))
            continue;
        QString name;
        QString id;
        for (const QXmlStreamAttribute& a : book.xml().attributes()) {
            if (a.name() == QLatin1String("name"))
                name = a.value().toString();
            else if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty())
                id = a.value().toString();
        }
        named.append({name, id});
    }
    const Relationships parts = relationshipsOf(*archive_, workbook, shownName_);
    for (const auto& [name, id] : named)
        sheets_.append({name, parts.byId.value(id)});
    sharedStringsPart_ = parts.byType.value(QStringLiteral("sharedStrings"));
    if (sheets_.isEmpty())
        throw AppError(QStringLiteral("文件“%1”里没有工作表。").arg(shownName_));
}

XlsxReader::~XlsxReader() = default;

QStringList XlsxReader::sheetNames() const {
    QStringList names;
    for (const Sheet& sheet : sheets_)
        names.append(sheet.name);
    return names;
}

void XlsxReader::readSharedStrings() {
    if (sharedStringsRead_ || sharedStringsPart_.isEmpty())
        return;
    PartXml part(*archive_, sharedStringsPart_, shownName_);
    while (part.exists() && !part.atEnd()) {
        if (part.next() != QXmlStreamReader::StartElement ||
            part.xml().name() != QLatin1String("si"))
            continue;
        if (sharedStrings_.size() >= SheetBuilder::kMaxCells)
            throw AppError(QStringLiteral("文件“%1”中的文字超过 %2 万条，一次导入不了，"
                                          "请分成几个文件导入。")
                               .arg(shownName_)
                               .arg(SheetBuilder::kMaxCells / 10000));
        sharedStrings_.append(stringItem(part, u"si"));
    }
    sharedStringsRead_ = true;
}

SheetTable XlsxReader::readSheet(int index) {
    if (index < 0 || index >= sheets_.size())
        throw AppError(QStringLiteral("文件“%1”里没有这个工作表。").arg(shownName_));
    readSharedStrings();
    PartXml part(*archive_, sheets_[index].part, shownName_);
    if (!part.exists())
        throw AppError(QStringLiteral("文件“%1”已损坏：工作表“%2”的内容不在文件里。")
                           .arg(shownName_, sheets_[index].name));
    QXmlStreamReader& xml = part.xml();
    SheetBuilder builder;
    qint64 rowNumber = 0;
    qint64 column = -1;
    QString type;
    QString value;
    QString inline_;
    bool inValue = false;
    bool inRow = false;
    while (!part.atEnd()) {
        const QXmlStreamReader::TokenType token = part.next();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            if (name == QLatin1String("row")) {
                const QStringView r = xml.attributes().value(QLatin1String("r"));
                rowNumber = r.isEmpty() ? rowNumber + 1 : r.toLongLong();
                builder.startRow(rowNumber);
                column = -1;
                inRow = true;
            } else if (name == QLatin1String("c") && inRow) {
                const QXmlStreamAttributes a = xml.attributes();
                const QStringView r = a.value(QLatin1String("r"));
                column = r.isEmpty() ? column + 1 : columnOf(r);
                type = a.value(QLatin1String("t")).toString();
                value.clear();
                inline_.clear();
            } else if (name == QLatin1String("v")) {
                inValue = true;
            } else if (name == QLatin1String("is")) {
                inline_ = stringItem(part, u"is");
            }
        } else if (token == QXmlStreamReader::Characters && inValue) {
            value += xml.text();
        } else if (token == QXmlStreamReader::EndElement) {
            const QStringView name = xml.name();
            if (name == QLatin1String("v")) {
                inValue = false;
            } else if (name == QLatin1String("row")) {
                inRow = false;
            } else if (name == QLatin1String("c") && inRow) {
                SheetTable::Cell cell;
                if (type == QLatin1String("s")) {
                    bool ok = false;
                    const qsizetype at = value.toLongLong(&ok);
                    if (!ok || at < 0 || at >= sharedStrings_.size())
                        throw AppError(QStringLiteral("文件“%1”已损坏：第 %2 行的单元格指向"
                                                      "不存在的文字。")
                                           .arg(shownName_)
                                           .arg(rowNumber));
                    cell = SheetTable::Cell::ofText(sharedStrings_[at]);
                } else if (type == QLatin1String("inlineStr")) {
                    cell = SheetTable::Cell::ofText(inline_);
                } else if (type == QLatin1String("str") || type == QLatin1String("e") ||
                           type == QLatin1String("d")) {
                    cell = SheetTable::Cell::ofText(decoded(value));
                } else if (type == QLatin1String("b")) {
                    cell = SheetTable::Cell::ofText(value == QLatin1String("1")
                                                        ? QStringLiteral("TRUE")
                                                        : QStringLiteral("FALSE"));
                } else if (!value.isEmpty()) {
                    bool ok = false;
                    const double number = value.toDouble(&ok);
                    if (!ok)
                        throw AppError(QStringLiteral("文件“%1”已损坏：第 %2 行有一个数字单元格"
                                                      "的内容不是数字。")
                                           .arg(shownName_)
                                           .arg(rowNumber));
                    cell = SheetTable::Cell::ofNumber(number);
                }
                builder.add(column, std::move(cell));
            }
        }
    }
    return builder.take();
}
