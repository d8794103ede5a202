#include "HostTool.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#ifdef Q_OS_WIN
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUuid>

#include <windows.h>

namespace {

// Wine's own call for the Linux path of a Windows one; the path as it is elsewhere.
QString linuxPath(const QString& path) {
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:[\\\\/]"));
    if (!drive.match(path).hasMatch())
        return path;
    using Call = char*(__cdecl*)(const wchar_t*);
    static const auto call = reinterpret_cast<Call>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!call)
        return path;
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    char* unix = call(native.c_str());
    if (!unix)
        return path;
    const QString result = QString::fromUtf8(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

QByteArray contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

HostTool HostTool::run(const QString& program, const QStringList& arguments) {
    HostTool tool;
    const QString spool = qEnvironmentVariable("DN_HOST_TOOLS");
    if (spool.isEmpty()) {
        tool.err = "DN_HOST_TOOLS names no spool folder (scripts/windows/run-tests.sh sets it)";
        return tool;
    }
    QJsonArray linuxArguments;
    for (const QString& argument : arguments)
        linuxArguments.append(linuxPath(argument));
    const QString base = QDir(spool).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces));
    QFile request(base + ".tmp");
    if (!request.open(QIODevice::WriteOnly))
        return tool;
    request.write(
        QJsonDocument(QJsonObject{{"program", program}, {"arguments", linuxArguments}}).toJson());
    request.close();
    if (!QFile::rename(base + ".tmp", base + ".json"))
        return tool;
    const QDeadlineTimer deadline(120000);
    while (!QFile::exists(base + ".done")) {
        if (deadline.hasExpired()) {
            tool.err = "the host tool did not answer";
            return tool;
        }
        QThread::msleep(20);
    }
    tool.out = contents(base + ".out");
    tool.err = contents(base + ".err");
    tool.exitCode = contents(base + ".code").toInt();
    for (const char* suffix : {".out", ".err", ".code", ".done"})
        QFile::remove(base + suffix);
    return tool;
}

#else

HostTool HostTool::run(const QString& program, const QStringList& arguments) {
    HostTool tool;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        tool.err = process.errorString().toUtf8();
        return tool;
    }
    tool.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    tool.out = process.readAllStandardOutput();
    tool.err = process.readAllStandardError();
    return tool;
}

#endif
