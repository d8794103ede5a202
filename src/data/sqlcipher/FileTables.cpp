#include "data/sqlcipher/FileTables.h"

#include "data/Errors.h"
#include "data/Schema.h"
#include "data/sqlcipher/DatabaseFile.h"

#include <QFile>

#include <sqlite3.h>

namespace {

QString quoted(const QString& name) {
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

sqlite3* openKeyed(const QString& file, int flags) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.toUtf8().constData(), &db, flags, nullptr);
    const QByteArray key = Schema::password().toUtf8();
    if (rc == SQLITE_OK)
        rc = sqlite3_key(db, key.constData(), key.size());
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close_v2(db);
        throw DataError(text);
    }
    return db;
}

} // namespace

FileTables::FileTables(sqlite3* db) : db_(db) {}

FileTables::FileTables(FileTables&& other) noexcept
    : db_(other.db_), inserts_(std::move(other.inserts_)) {
    other.db_ = nullptr;
    other.inserts_.clear();
}

FileTables::~FileTables() {
    for (sqlite3_stmt* statement : std::as_const(inserts_))
        sqlite3_finalize(statement);
    // An unfinished write transaction is rolled back as the handle closes.
    sqlite3_close_v2(db_);
}

FileTables FileTables::read(const QString& file) {
    return FileTables(openKeyed(file, SQLITE_OPEN_READONLY));
}

FileTables FileTables::create(const QString& file) {
    Schema::createDatabase(file);
    FileTables tables(openKeyed(file, SQLITE_OPEN_READWRITE));
    if (sqlite3_exec(tables.db_, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        throwEngineError(tables.db_);
    return tables;
}

bool FileTables::hasTable(const QString& table) const {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1",
                           -1, &statement, nullptr) != SQLITE_OK)
        throwEngineError(db_);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> finalize(statement,
                                                                         sqlite3_finalize);
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(statement, 1, name.constData(), name.size(), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throwEngineError(db_);
    return rc == SQLITE_ROW;
}

void FileTables::eachRow(const QString& table, const QStringList& columns, const Row& row) const {
    QStringList names;
    for (const QString& column : columns)
        names.append(quoted(column));
    const QByteArray sql = QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                               .arg(names.join(QStringLiteral(", ")), quoted(table))
                               .toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.constData(), sql.size(), &statement, nullptr) != SQLITE_OK)
        throwEngineError(db_);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> finalize(statement,
                                                                         sqlite3_finalize);
    QList<RowStore::Cell> cells(columns.size());
    qint64 number = 0;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int c = 0; c < columns.size(); ++c) {
            RowStore::Cell& cell = cells[c];
            cell = {};
            switch (sqlite3_column_type(statement, c)) {
            case SQLITE_NULL:
                break;
            case SQLITE_INTEGER:
                cell.type = RowStore::Cell::Integer;
                cell.integer = sqlite3_column_int64(statement, c);
                break;
            case SQLITE_FLOAT:
                cell.type = RowStore::Cell::Real;
                cell.real = sqlite3_column_double(statement, c);
                break;
            default:
                cell.type = RowStore::Cell::Text;
                cell.text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                cell.size = sqlite3_column_bytes(statement, c);
                break;
            }
        }
        row(cells, ++number);
    }
    if (rc != SQLITE_DONE)
        throwEngineError(db_);
}

void FileTables::insert(const QString& table, const QStringList& columns,
                        const QList<Engine::Value>& values) {
    sqlite3_stmt*& statement = inserts_[table];
    if (!statement) {
        QStringList names, marks;
        for (int i = 0; i < columns.size(); ++i) {
            names.append(quoted(columns[i]));
            marks.append(QStringLiteral("?%1").arg(i + 1));
        }
        const QByteArray sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(quoted(table), names.join(QStringLiteral(", ")),
                                        marks.join(QStringLiteral(", ")))
                                   .toUtf8();
        if (sqlite3_prepare_v2(db_, sql.constData(), sql.size(), &statement, nullptr) != SQLITE_OK)
            throwEngineError(db_);
    }
    sqlite3_reset(statement);
    for (int i = 0; i < values.size(); ++i) {
        const Engine::Value& v = values[i];
        switch (v.type) {
        case Engine::Value::Null:
            sqlite3_bind_null(statement, i + 1);
            break;
        case Engine::Value::Text:
            sqlite3_bind_text(statement, i + 1, v.text.constData(), v.text.size(),
                              SQLITE_TRANSIENT);
            break;
        case Engine::Value::Real:
            sqlite3_bind_double(statement, i + 1, v.real);
            break;
        case Engine::Value::Integer:
            sqlite3_bind_int64(statement, i + 1, v.integer);
            break;
        }
    }
    if (sqlite3_step(statement) != SQLITE_DONE)
        throwEngineError(db_);
}

void FileTables::commit() {
    if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        throwEngineError(db_);
}
