#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/resource.h>

QByteArray contentsOf(const QString& file);
void writeFile(const QString& file, const QByteArray& bytes);
// Files in a folder, hidden ones too: a failed write must not leave a temporary one behind.
QStringList filesIn(const QString& folder);

// While it lives, writes stop at the given size, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
};
