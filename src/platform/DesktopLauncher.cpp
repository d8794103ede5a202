#include "platform/DesktopLauncher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Quoting of an Exec argument in a desktop entry.
QString execArgument(const QString& path) {
    QString escaped;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            escaped += QStringLiteral("\\\\");
        if (c == QLatin1Char('%'))
            escaped += QLatin1Char('%');
        escaped += c;
    }
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// Escapes of a plain string value in a desktop entry.
QString entryValue(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    out.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return out;
}

QString iconFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/icons");
    const QString file = folder + QStringLiteral("/qorvel-delivery-note.png");
    const QImage icon(QStringLiteral(":/pictures/app_icon.png"));
    if (!icon.isNull() && QDir().mkpath(folder))
        icon.save(file);
    return file;
}

} // namespace

namespace DesktopLauncher {

QString fileName() {
    return QStringLiteral("澄朔送货单打印软件(增强版).desktop");
}

void write(const QString& programPath) {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty() || !QFileInfo(desktop).isDir())
        return;
    const QFileInfo program(programPath);
    const QString text =
        QStringLiteral("[Desktop Entry]\nType=Application\nVersion=1.0\nName=%1\nExec=%2\nPath=%3\n"
                       "Icon=%4\nTerminal=false\n")
            .arg(entryValue(QStringLiteral("澄朔送货单打印软件(增强版)")),
                 execArgument(program.absoluteFilePath()),
                 entryValue(program.absolutePath() + QLatin1Char('/')), entryValue(iconFile()));
    QSaveFile file(QDir(desktop).filePath(fileName()));
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(text.toUtf8());
    if (!file.commit())
        return;
    QFile::setPermissions(file.fileName(), QFile::permissions(file.fileName()) | QFile::ExeOwner |
                                               QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther);
}

} // namespace DesktopLauncher
