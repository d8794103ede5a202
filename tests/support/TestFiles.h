#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#ifndef Q_OS_WIN
#include <sys/resource.h>
#endif

QByteArray contentsOf(const QString& file);
void writeFile(const QString& file, const QByteArray& bytes);
// Files in a folder, hidden ones too: a failed write must not leave a temporary one behind.
QStringList filesIn(const QString& folder);

// A test of what only Linux can show here (a full disk by a size limit, the C library's file
// calls watched) is skipped in the Windows build.
#ifdef Q_OS_WIN
#define SKIP_ON_WINDOWS(why) QSKIP(why)
#else
#define SKIP_ON_WINDOWS(why) static_cast<void>(0)
#endif

// While it lives, writes stop at the given size, as on a full disk (Linux only: its tests are
// skipped on Windows, where it does nothing).
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
#ifndef Q_OS_WIN
    rlimit previous_{};
#endif
};
