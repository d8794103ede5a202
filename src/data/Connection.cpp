#include "data/Connection.h"

#include "data/Errors.h"
#include "data/LikeFunction.h"

#include <QList>

#include <sqlite3.h>

namespace {

// Splits "key=value;key=value". A value in double quotes may hold semicolons and blanks at
// either end, and holds a double quote of its own written twice; other values are trimmed.
QList<QPair<QString, QString>> pairsOf(const QString& text) {
    QList<QPair<QString, QString>> pairs;
    int i = 0;
    const int n = text.size();
    while (i < n) {
        const int eq = text.indexOf(QLatin1Char('='), i);
        if (eq < 0)
            break;
        const QString key = text.mid(i, eq - i).trimmed();
        int j = eq + 1;
        QString value;
        if (j < n && text.at(j) == QLatin1Char('"')) {
            for (++j; j < n; ++j) {
                if (text.at(j) == QLatin1Char('"')) {
                    if (j + 1 < n && text.at(j + 1) == QLatin1Char('"'))
                        ++j;
                    else
                        break;
                }
                value += text.at(j);
            }
            const int semi = text.indexOf(QLatin1Char(';'), j);
            j = semi < 0 ? n : semi;
        } else {
            const int semi = text.indexOf(QLatin1Char(';'), j);
            const int end = semi < 0 ? n : semi;
            value = text.mid(j, end - j).trimmed();
            j = end;
        }
        pairs.append({key, value});
        i = j + 1;
    }
    return pairs;
}

} // namespace

void throwEngineError(sqlite3* db) {
    throw DataError(db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"));
}

Connection::Connection(QObject* parent) : QObject(parent) {}

Connection::~Connection() {
    if (db_)
        sqlite3_close_v2(db_);
}

QString Connection::valueOf(const QString& connectionString, const QString& key) {
    for (const auto& [k, v] : pairsOf(connectionString)) {
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return v;
    }
    return QString();
}

void Connection::setConnectionString(const QString& text) {
    if (db_)
        throw DataError(QStringLiteral("Operation is not allowed when the object is open"));
    connectionString_ = text;
}

void Connection::open() {
    if (db_)
        return;
    const QString file = valueOf(connectionString_, QStringLiteral("Data Source"));
    const QString password =
        valueOf(connectionString_, QStringLiteral("Jet OLEDB:Database Password"));
    sqlite3* db = nullptr;
    const QByteArray path = file.toUtf8();
    // Each connection is used by the one GUI thread only, so SQLite's own locking is not needed.
    int rc = sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc == SQLITE_OK) {
        const QByteArray key = password.toUtf8();
        rc = sqlite3_key(db, key.constData(), key.size());
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
    db_ = db;
}

void Connection::close() {
    if (!db_)
        return;
    emit aboutToClose();
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

sqlite3* Connection::handle() {
    open();
    return db_;
}

void Connection::execute(const QString& sql) {
    sqlite3* db = handle();
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throwEngineError(db);
}

Transaction::Transaction(Connection& connection) : connection_(connection) {
    connection_.execute(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction() {
    if (!done_ && connection_.isOpen())
        sqlite3_exec(connection_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    connection_.execute(QStringLiteral("COMMIT"));
    done_ = true;
}
