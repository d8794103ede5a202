#include "backup/AutoBackup.h"

#include "backup/BackupRetention.h"
#include "base/AppError.h"
#include "data/DatabaseCheck.h"
#include "data/EngineChoice.h"
#include "data/Maintenance.h"
#include "data/Schema.h"
#include "platform/FolderSync.h"
#include "platform/PendingFile.h"
#include "platform/PrivateFiles.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>
#include <memory>

namespace {

std::function<void(const QString&)>& beforeCheck() {
    static std::function<void(const QString&)> hook;
    return hook;
}

std::function<qint64(const QString&)>& freeSpace() {
    static std::function<qint64(const QString&)> bytes;
    return bytes;
}

// Free bytes on the folder's disk; -1 when the system cannot tell.
qint64 freeBytes(const QString& folder) {
    if (freeSpace())
        return freeSpace()(folder);
    const QStorageInfo disk(folder);
    return disk.isValid() ? disk.bytesAvailable() : -1;
}

// Temporary files that a killed backup left behind, and the journal of one written from the
// server; a running one's are younger.
void removeLeftovers(const QDir& folder) {
    const QDateTime stale = QDateTime::currentDateTime().addSecs(-600);
    const QFileInfoList files = folder.entryInfoList(
        {QStringLiteral(".*.tmp"), QStringLiteral(".*.tmp-journal")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : files) {
        if (file.lastModified() < stale)
            QFile::remove(file.absoluteFilePath());
    }
}

void removeOld(const QDir& folder, int keep, const QString& made) {
    const QStringList names =
        BackupRetention::toRemove(folder.entryList(QDir::Files), keep,
                                  QDateTime::currentDateTime().date(), QFileInfo(made).fileName());
    for (const QString& name : names)
        QFile::remove(folder.filePath(name));
    if (!names.isEmpty())
        FolderSync::sync(folder.path());
}

AutoBackup::Result made(const QString& file) {
    return {AutoBackup::Outcome::Made, file, {}};
}

AutoBackup::Result failed(const QString& reason) {
    return {AutoBackup::Outcome::Failed, {}, reason};
}

// The newest ordinary backup before `made`; empty when there is none.
QString previousBackup(const QDir& folder, const QString& made) {
    for (const AutoBackup::Entry& entry : AutoBackup::entries(folder.path())) {
        if (entry.kind == BackupRetention::Kind::Ordinary && entry.file != made)
            return entry.file;
    }
    return {};
}

// A backup that holds what the newest one holds takes that one's place instead of a slot of
// its own, so that ends without a change do not push distinct backups out.
void replaceIdentical(Maintenance& data, const QDir& folder, const QString& made) {
    const QString previous = previousBackup(folder, made);
    if (previous.isEmpty())
        return;
    if (data.sameBackup(previous, made)) {
        QFile::remove(previous);
        FolderSync::sync(folder.path());
    }
}

AutoBackup::Result backUp(const AutoBackupOptions& options, BackupRetention::Kind kind,
                          const AutoBackup::Progress& progress) {
    const QString folderPath = options.backupFolder();
    if (!PrivateFiles::makeFolder(folderPath))
        return failed(
            QStringLiteral("无法建立备份文件夹“%1”。").arg(QDir::toNativeSeparators(folderPath)));
    const QDir folder(folderPath);
    removeLeftovers(folder);
    const std::unique_ptr<Maintenance> data =
        EngineChoice::maintenance(ProgramFolder::databaseFile());
    const qint64 size = data->size();
    const qint64 free = freeBytes(folderPath);
    if (free >= 0 && free < 2 * size)
        return {AutoBackup::Outcome::LowSpace, {}, {}};

    const QDateTime time =
        BackupRetention::nextTime(folder.entryList(QDir::Files), QDateTime::currentDateTime());
    const QString target = folder.filePath(BackupRetention::nameFor(time, kind));
    PendingFile backup(target, PendingFile::Readers::Owner);
    const QString step = QStringLiteral("正在备份数据…");
    if (progress)
        progress(0, step);
    const std::optional<QList<qint64>> counts =
        data->backUp(backup.path(), [&](qint64 done, qint64 total) {
            if (progress && total > 0)
                progress(static_cast<int>(done * 70 / total), step);
        });
    if (!counts)
        return failed(QStringLiteral("无法读取%1中的数据。").arg(data->description()));
    if (progress)
        progress(70, QStringLiteral("正在检查备份…"));
    if (beforeCheck())
        beforeCheck()(backup.path());
    // Checked before it takes a backup's name, so every file under one has passed; the one
    // that fails goes with the temporary file.
    if (DatabaseCheck::checkedRowCounts(backup.path()) != counts)
        return failed(QStringLiteral("备份文件未通过检查（数据库完整性或行数不符），已删除。"));
    backup.commit();
    if (progress)
        progress(95, QStringLiteral("正在清理旧备份…"));
    if (kind == BackupRetention::Kind::Ordinary)
        replaceIdentical(*data, folder, target);
    removeOld(folder, options.keep, target);
    if (progress)
        progress(100, QString());
    return made(target);
}

} // namespace

QString AutoBackupOptions::backupFolder() const {
    return folder.isEmpty() ? QDir(ProgramFolder::path()).filePath(QStringLiteral("自动备份"))
                            : folder;
}

namespace AutoBackup {

Result run(const AutoBackupOptions& options, const Progress& progress) {
    if (!options.enabled)
        return {Outcome::Off, {}, {}};
    try {
        return backUp(options, BackupRetention::Kind::Ordinary, progress);
    } catch (const AppError& e) {
        return failed(e.message());
    }
}

namespace {

Result special(const AutoBackupOptions& options, BackupRetention::Kind kind) {
    try {
        const Result result = backUp(options, kind, {});
        if (result.outcome == Outcome::LowSpace)
            return failed(QStringLiteral("备份文件夹所在磁盘的可用空间不足。"));
        return result;
    } catch (const AppError& e) {
        return failed(e.message());
    }
}

} // namespace

Result beforeRestore(const AutoBackupOptions& options) {
    return special(options, BackupRetention::Kind::BeforeRestore);
}

Result beforeUpgrade(const AutoBackupOptions& options) {
    return special(options, BackupRetention::Kind::BeforeUpgrade);
}

QDateTime newest(const QString& folder) {
    QDateTime latest;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        const QDateTime time = BackupRetention::timeOf(name);
        if (time.isValid() && BackupRetention::kindOf(name) == BackupRetention::Kind::Ordinary &&
            (!latest.isValid() || time > latest))
            latest = time;
    }
    return latest;
}

QList<Entry> entries(const QString& folder) {
    QList<Entry> found;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files);
    for (const QFileInfo& file : files) {
        const QDateTime time = BackupRetention::timeOf(file.fileName());
        if (time.isValid())
            found.append({file.absoluteFilePath(), time, file.size(),
                          BackupRetention::kindOf(file.fileName())});
    }
    std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) {
        return a.time != b.time ? a.time > b.time : a.file > b.file;
    });
    return found;
}

std::optional<qint64> deliveries(const QString& file) {
    const auto counts = DatabaseCheck::rowCounts(file);
    if (!counts)
        return std::nullopt;
    return counts->at(Schema::tableNames().indexOf(QStringLiteral("表3")));
}

void setBeforeCheckForTesting(std::function<void(const QString& file)> hook) {
    beforeCheck() = std::move(hook);
}

void setFreeSpaceForTesting(std::function<qint64(const QString& folder)> bytes) {
    freeSpace() = std::move(bytes);
}

} // namespace AutoBackup
