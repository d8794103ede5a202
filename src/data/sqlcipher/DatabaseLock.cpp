#include "data/sqlcipher/DatabaseLock.h"

#include "base/AppError.h"
#include "data/Schema.h"

#include <QFile>

#include <sqlite3.h>

namespace {

// As long as a connection of the program waits for another one.
constexpr int kWaitMilliseconds = 5000;

bool heldByAnother(int rc) {
    return (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED;
}

} // namespace

DatabaseLock::DatabaseLock(const QString& file, Kind kind) {
    if (sqlite3_open_v2(file.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        return;
    }
    const QByteArray key = Schema::password().toUtf8();
    sqlite3_key(db_, key.constData(), key.size());
    sqlite3_busy_timeout(db_, kWaitMilliseconds);
    // A read inside a transaction keeps the shared lock until the transaction ends.
    const char* sql = kind == Kind::Shared ? "BEGIN; SELECT count(*) FROM sqlite_master"
                                           : "BEGIN EXCLUSIVE; SELECT count(*) FROM sqlite_master";
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        return;
    const QString reason = QString::fromUtf8(sqlite3_errmsg(db_));
    sqlite3_close_v2(db_);
    db_ = nullptr;
    if (heldByAnother(rc))
        throw AppError(reason);
}

DatabaseLock::~DatabaseLock() {
    if (!db_)
        return;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
}
