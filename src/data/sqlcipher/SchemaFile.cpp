// Schema::createDatabase: the program's empty database file, written by the file's engine.
#include "data/Errors.h"
#include "data/Schema.h"
#include "data/sqlcipher/FileMigrations.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace Schema {

void createDatabase(const QString& path) {
    if (QFileInfo::exists(path))
        throw DataError(QStringLiteral("%1 already exists").arg(path));
    // Only its owner may read it: the key is in the program. The engine opens the empty file
    // as a new database.
    QFile created(path);
    if (!created.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                      QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw DataError(created.errorString());
    created.close();
    sqlite3* db = nullptr;
    const QByteArray file = path.toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        QFile::remove(path);
        throw DataError(text);
    }
    const QByteArray key = password().toUtf8();
    QStringList script = {QStringLiteral("BEGIN")};
    script += statements();
    script.append(QStringLiteral("COMMIT"));
    int rc = sqlite3_key(db, key.constData(), key.size());
    for (const QString& sql : script) {
        if (rc != SQLITE_OK)
            break;
        rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    }
    QString text = QString::fromUtf8(sqlite3_errmsg(db));
    // The database every version grows from, brought up to the current one by the same steps
    // an older file takes.
    if (rc == SQLITE_OK) {
        try {
            FileMigrations::run(db);
        } catch (const DataError& e) {
            rc = SQLITE_ERROR;
            text = e.message();
        }
    }
    sqlite3_close(db);
    if (rc != SQLITE_OK) {
        QFile::remove(path);
        throw DataError(text);
    }
}

} // namespace Schema
