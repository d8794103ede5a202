#include "data/sqlcipher/FileMaintenance.h"

#include "base/AppError.h"
#include "data/Connection.h"
#include "data/DatabaseCheck.h"
#include "data/Schema.h"
#include "data/sqlcipher/DatabaseFile.h"
#include "data/sqlcipher/DatabaseLock.h"
#include "data/sqlcipher/FileMigrations.h"
#include "data/sqlcipher/HandleCounts.h"
#include "platform/FileCompare.h"
#include "platform/FileCopy.h"
#include "platform/FolderSync.h"
#include "platform/PendingFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <optional>

#include <sqlite3.h>

QString FileMaintenance::description() const {
    return QStringLiteral("本机的数据文件 %1").arg(QDir::toNativeSeparators(database_));
}

QString FileMaintenance::sizeName() const {
    return QStringLiteral("数据库文件大小");
}

QString FileMaintenance::restoreQuestion(const QString& time) const {
    return QStringLiteral("用 %1 的备份替换当前的数据吗？当前的数据先备份到备份文件夹"
                          "（标有“恢复前”），恢复成功后程序将退出。")
        .arg(time);
}

qint64 FileMaintenance::size() {
    const QFileInfo file(database_);
    if (!file.exists())
        throw AppError(
            QStringLiteral("找不到数据库文件“%1”。").arg(QDir::toNativeSeparators(database_)));
    return file.size();
}

std::optional<QList<qint64>> FileMaintenance::backUp(const QString& file,
                                                     const Progress& progress) {
    // The rollback journal keeps a transaction's old pages while its new ones go into the
    // file, so a copy made during another process's write would hold half of it. Under the
    // shared lock no one writes: the bytes of the file are the whole database, and the rows
    // counted inside the lock's transaction are the rows copied.
    const DatabaseLock noWriter(database_, DatabaseLock::Kind::Shared);
    const std::optional<QList<qint64>> counts = DatabaseCheck::rowCounts(noWriter.handle());
    FileCopy::copy(database_, file, progress);
    return counts;
}

bool FileMaintenance::sameBackup(const QString& a, const QString& b) {
    return FileCompare::sameBytes(a, b);
}

namespace {

using Handle = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

Handle openKeyed(const QString& file, int flags) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.toUtf8().constData(), &db, flags, nullptr);
    Handle handle(db, sqlite3_close_v2);
    const QByteArray key = Schema::password().toUtf8();
    if (rc == SQLITE_OK)
        rc = sqlite3_key(db, key.constData(), key.size());
    if (rc == SQLITE_OK)
        rc = sqlite3_busy_timeout(db, 5000);
    if (rc != SQLITE_OK)
        throwEngineError(db);
    return handle;
}

} // namespace

int FileMaintenance::schemaVersion() {
    return FileMigrations::version(openKeyed(database_, SQLITE_OPEN_READONLY).get());
}

void FileMaintenance::migrate() {
    FileMigrations::run(openKeyed(database_, SQLITE_OPEN_READWRITE).get());
}

void FileMaintenance::restore(const QString& file, const QList<Connection*>& connections) {
    const QString journal = database_ + QStringLiteral("-journal");
    PendingFile copy(database_, PendingFile::Readers::Owner);
    FileCopy::copy(file, copy.path());
    // The copy is what goes in place, so it is the one that must be sound.
    if (!DatabaseCheck::isUsable(copy.path()))
        throw AppError(QStringLiteral("恢复的文件不是本程序完好的数据库文件。"));
    // Should the rename still fail, the lists stay closed until the refresh command opens
    // them again.
    for (Connection* connection : connections)
        connection->close();
    // No one may write the old file while it is replaced, and a transaction left half done
    // in it is rolled back first. Its journal must be gone, on disk too, before the new file
    // comes: left beside the new one, the next opening would play the old file's pages into it.
    std::optional<DatabaseLock> alone(std::in_place, database_, DatabaseLock::Kind::Exclusive);
    if (QFile::exists(journal) && !QFile::remove(journal))
        throw AppError(QStringLiteral("无法删除“%1”。").arg(QDir::toNativeSeparators(journal)));
    FolderSync::sync(QFileInfo(database_).absolutePath());
    // Windows replaces no file that is open, the lock's own connection's included.
    copy.commit([&] { alone.reset(); });
}
