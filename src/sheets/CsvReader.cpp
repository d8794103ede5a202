#include "sheets/CsvReader.h"

#include "base/AppError.h"
#include "platform/ChineseText.h"
#include "sheets/SheetBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

std::optional<QString> decodedAs(QStringConverter::Encoding encoding, QByteArrayView bytes) {
    QStringDecoder decoder(encoding);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QChar separatorOf(const QString& text) {
    const QStringView firstLine = QStringView(text).left(text.indexOf(QLatin1Char('\n')));
    if (!firstLine.contains(QLatin1Char(',')) && firstLine.contains(QLatin1Char('\t')))
        return QLatin1Char('\t');
    return QLatin1Char(',');
}

// A field written ="0012" (how some programs keep a code's leading zeros in CSV) is its text.
QString fieldText(QString field) {
    if (field.size() >= 3 && field.startsWith(QLatin1String("=\"")) &&
        field.endsWith(QLatin1Char('"')))
        return field.mid(2, field.size() - 3).replace(QLatin1String("\"\""), QLatin1String("\""));
    return field;
}

} // namespace

CsvReader::CsvReader(const QString& path)
    : path_(path), shownName_(QDir::toNativeSeparators(path)) {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("无法打开文件“%1”：%2").arg(shownName_, file.errorString()));
    if (file.size() > kMaxFileBytes)
        throw AppError(QStringLiteral("文件“%1”超过 %2 MB，一次导入不了，请分成几个文件导入。")
                           .arg(shownName_)
                           .arg(kMaxFileBytes >> 20));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(QStringLiteral("无法读取文件“%1”：%2").arg(shownName_, file.errorString()));
    decoded_ = decode(bytes, shownName_);
}

QStringList CsvReader::sheetNames() const {
    return {QStringLiteral("%1（%2）").arg(QFileInfo(path_).completeBaseName(), decoded_.encoding)};
}

CsvReader::Decoded CsvReader::decode(const QByteArray& bytes, const QString& shownName) {
    const QByteArrayView view(bytes);
    std::optional<QString> text;
    QString encoding = QStringLiteral("UTF-8");
    if (view.startsWith("\xEF\xBB\xBF")) {
        text = decodedAs(QStringConverter::Utf8, view.sliced(3));
    } else if (view.startsWith("\xFF\xFE")) {
        text = decodedAs(QStringConverter::Utf16LE, view.sliced(2));
        encoding = QStringLiteral("UTF-16");
    } else if (view.startsWith("\xFE\xFF")) {
        text = decodedAs(QStringConverter::Utf16BE, view.sliced(2));
        encoding = QStringLiteral("UTF-16");
    } else if (!(text = decodedAs(QStringConverter::Utf8, view))) {
        text = ChineseText::fromGb18030(bytes);
        encoding = QStringLiteral("GB18030");
    }
    if (!text)
        throw AppError(QStringLiteral("文件“%1”的文字编码无法识别：请把它另存为 UTF-8 "
                                      "或 GB18030（ANSI）编码的 CSV 文件后再导入。")
                           .arg(shownName));
    return {*text, encoding};
}

SheetTable CsvReader::parse(const QString& text) {
    const QChar separator = separatorOf(text);
    SheetBuilder builder;
    qint64 record = 1;
    qint64 column = 0;
    QString field;
    bool quoted = false;
    bool started = false;
    builder.startRow(record);
    const auto endField = [&] {
        builder.add(column++, SheetTable::Cell::ofText(fieldText(std::exchange(field, {}))));
        started = false;
    };
    const auto endRecord = [&] {
        endField();
        column = 0;
        builder.startRow(++record);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != QLatin1Char('"'))
                field += c;
            else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                field += text.at(++i);
            else
                quoted = false;
        } else if (c == QLatin1Char('"') && !started) {
            quoted = true;
            started = true;
        } else if (c == separator) {
            endField();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == '\n')
                ++i;
            endRecord();
        } else {
            field += c;
            started = true;
        }
    }
    if (started || !field.isEmpty() || column > 0)
        endField();
    return builder.take();
}

SheetTable CsvReader::readSheet(int index) {
    if (index != 0)
        throw AppError(QStringLiteral("文件“%1”里没有这个工作表。").arg(shownName_));
    return parse(decoded_.text);
}
