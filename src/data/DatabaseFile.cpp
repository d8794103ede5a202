#include "data/DatabaseFile.h"

#include "data/Connection.h"
#include "data/Errors.h"
#include "data/LikeFunction.h"
#include "platform/FileIdentity.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace {

// The files this process has open, by path and password. A file leaves when its last
// connection closes.
QHash<QString, std::weak_ptr<DatabaseFile>>& openFiles() {
    static QHash<QString, std::weak_ptr<DatabaseFile>> files;
    return files;
}

} // namespace

std::shared_ptr<DatabaseFile> DatabaseFile::open(const QString& path, const QString& password) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString key = absolute + QLatin1Char('\n') + password;
    if (std::shared_ptr<DatabaseFile> file = openFiles().value(key).lock()) {
        // The name may meanwhile stand for another file (a restore renames one into place), or
        // for none: then this handle is not the file the name names.
        quint64 device = 0, inode = 0;
        if (FileIdentity::of(absolute, device, inode) && device == file->device_ &&
            inode == file->inode_)
            return file;
        openFiles().remove(key);
    }

    sqlite3* db = nullptr;
    // Every handle is used by the one GUI thread only, so SQLite's own locking is not needed.
    int rc = sqlite3_open_v2(absolute.toUtf8().constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        const QByteArray secret = password.toUtf8();
        rc = sqlite3_key(db, secret.constData(), secret.size());
    }
    // A wrong key shows only at the first read.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_busy_timeout(db, 5000);
    if (rc == SQLITE_OK && !LikeFunction::install(db))
        rc = SQLITE_ERROR;
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close_v2(db);
        throw DataError(text);
    }
    std::shared_ptr<DatabaseFile> file(new DatabaseFile(db, key));
    FileIdentity::of(absolute, file->device_, file->inode_);
    file->checkForeignWrites();
    openFiles().insert(key, file);
    return file;
}

DatabaseFile::DatabaseFile(sqlite3* db, QString key) : db_(db), key_(std::move(key)) {}

DatabaseFile::~DatabaseFile() {
    auto entry = openFiles().find(key_);
    if (entry != openFiles().end() && entry->expired())
        openFiles().erase(entry);
    sqlite3_close_v2(db_);
}

void DatabaseFile::exec(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throwEngineError(db_);
}

void DatabaseFile::checkForeignWrites() {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, "PRAGMA data_version", -1, &statement, nullptr) != SQLITE_OK)
        throwEngineError(db_);
    const int rc = sqlite3_step(statement);
    const qint64 version = rc == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : 0;
    sqlite3_finalize(statement);
    if (rc != SQLITE_ROW)
        throwEngineError(db_);
    // The version stays as it is for writes through this handle and changes with any other.
    if (version != dataVersion_) {
        dataVersion_ = version;
        forgetAll();
    }
}

void DatabaseFile::forgetAll() {
    floor_ = ++counter_;
    kept_.clear();
}

quint64 DatabaseFile::generation(const QString& table) {
    if (inTransaction_)
        return 0;
    checkForeignWrites();
    return qMax(written_.value(table), floor_);
}

const DatabaseFile::Snapshot* DatabaseFile::snapshot(const QString& table,
                                                     quint64 generation) const {
    const auto kept = kept_.constFind(table);
    if (generation == 0 || kept == kept_.cend() || kept->generation != generation)
        return nullptr;
    return &kept->snapshot;
}

void DatabaseFile::keep(const QString& table, quint64 generation, const Snapshot& snapshot) {
    if (generation != 0)
        kept_.insert(table, {generation, snapshot});
}

bool DatabaseFile::apply(RowStore& rows, const Change& change) {
    if (!change.row && change.kind != Change::Remove)
        return false;
    if (change.kind == Change::Insert) {
        // A new row takes a rowid above every other, so a whole table has it last.
        if (!rows.isEmpty() && rows.rowid(rows.size() - 1) >= change.rowid)
            return false;
        rows.append(change.rowid, *change.row);
        return true;
    }
    const int row = rows.indexOfRowid(change.rowid);
    if (row < 0)
        return false;
    if (change.kind == Change::Update)
        rows.replace(row, change.rowid, *change.row);
    else
        rows.remove(row);
    return true;
}

quint64 DatabaseFile::wrote(const QString& table, const Change& change, const Snapshot* writer,
                            quint64 writerGeneration) {
    if (inTransaction_) {
        touched_.insert(table);
        return 0;
    }
    const quint64 before = qMax(written_.value(table), floor_);
    const quint64 after = ++counter_;
    written_.insert(table, after);

    bool writerCurrent = writer && writerGeneration == before;
    if (writerCurrent && change.kind == Change::Insert) {
        const RowStore& rows = writer->rows;
        writerCurrent = rows.size() < 2 || rows.rowid(rows.size() - 2) < change.rowid;
    }
    if (writerCurrent) {
        kept_.insert(table, {after, *writer});
        return after;
    }
    auto kept = kept_.find(table);
    if (kept != kept_.end()) {
        if (kept->generation == before && apply(kept->snapshot.rows, change))
            kept->generation = after;
        else
            kept_.erase(kept);
    }
    return 0;
}

void DatabaseFile::begin() {
    exec("BEGIN IMMEDIATE");
    inTransaction_ = true;
}

void DatabaseFile::commit() {
    exec("COMMIT");
    finish();
}

void DatabaseFile::rollback() {
    if (sqlite3_get_autocommit(db_) == 0)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    finish();
}

void DatabaseFile::finish() {
    inTransaction_ = false;
    for (const QString& table : std::as_const(touched_)) {
        written_.insert(table, ++counter_);
        kept_.remove(table);
    }
    touched_.clear();
}
