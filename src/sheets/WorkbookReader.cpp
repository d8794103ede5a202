#include "sheets/WorkbookReader.h"

#include "base/AppError.h"
#include "sheets/CsvReader.h"
#include "sheets/XlsReader.h"
#include "sheets/XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QByteArray kZipMagic("PK\x03\x04", 4);
const QByteArray kCompoundMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

} // namespace

std::unique_ptr<WorkbookReader> WorkbookReader::open(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("无法打开文件“%1”：%2").arg(shown, file.errorString()));
    const QByteArray head = file.read(8);
    file.close();
    if (head.startsWith(kZipMagic))
        return std::make_unique<XlsxReader>(path);
    if (head.startsWith(kCompoundMagic))
        return std::make_unique<XlsReader>(path);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("txt"))
        return std::make_unique<CsvReader>(path);
    if (suffix == QLatin1String("xlsx") || suffix == QLatin1String("xls"))
        throw AppError(QStringLiteral("文件“%1”不是 Excel 或 WPS 表格文件，可能已损坏，"
                                      "或是改了扩展名的其他文件。")
                           .arg(shown));
    throw AppError(
        QStringLiteral("不能导入文件“%1”：只能导入 .xlsx、.xls 和 .csv 表格文件。").arg(shown));
}

QString WorkbookReader::fileFilter() {
    return QStringLiteral("表格文件 (*.xlsx *.xls *.csv);;所有文件 (*)");
}
