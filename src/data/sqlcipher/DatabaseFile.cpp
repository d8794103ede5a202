#include "data/sqlcipher/DatabaseFile.h"

#include "data/DateText.h"
#include "data/Errors.h"
#include "data/LoadProgress.h"
#include "data/NumberText.h"
#include "data/Schema.h"
#include "data/sqlcipher/LikeFunction.h"
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

int leaveWalMode(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &statement, nullptr);
    bool wal = false;
    if (rc == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
        wal = sqlite3_strnicmp(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)),
                               "wal", 4) == 0;
    sqlite3_finalize(statement);
    if (rc == SQLITE_OK && wal)
        rc = sqlite3_exec(db, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
    return rc;
}

// A business date as the lists show it (yyyy/M/d), for the print buffer's text column.
void shownDate(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_text(context, "", 0, SQLITE_STATIC);
        return;
    }
    const QByteArray shown =
        DateText::display(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0]))))
            .toUtf8();
    sqlite3_result_text(context, shown.constData(), shown.size(), SQLITE_TRANSIENT);
}

// A number column's value as a list's text makes it and a number column of the print buffer
// takes that text back: 15 significant digits, an empty text as NULL, and any other text that
// is no number refused with the field's message (argument 2).
void listNumber(sqlite3_context* context, int, sqlite3_value** argv) {
    QString text;
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(context);
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        text = NumberText::general(sqlite3_value_double(argv[0]));
        break;
    default:
        text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
        break;
    }
    if (text.isEmpty()) {
        sqlite3_result_null(context);
        return;
    }
    const std::optional<long double> number = NumberText::parse(text);
    if (!number) {
        const QByteArray message =
            QStringLiteral("'%1' is not a valid floating point value for field '%2'")
                .arg(text,
                     QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[1]))))
                .toUtf8();
        sqlite3_result_error(context, message.constData(), message.size());
        return;
    }
    sqlite3_result_double(context, static_cast<double>(*number));
}

struct Statement {
    sqlite3_stmt* handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

void prepare(sqlite3* db, const QString& sql, Statement& statement) {
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), text.size(), &statement.handle, nullptr) !=
        SQLITE_OK)
        throwEngineError(db);
}

void bindText(sqlite3* db, sqlite3_stmt* statement, int index, const char* text, qsizetype size) {
    if (sqlite3_bind_text(statement, index, text, static_cast<int>(size), SQLITE_TRANSIENT) !=
        SQLITE_OK)
        throwEngineError(db);
}

void bindValue(sqlite3* db, sqlite3_stmt* statement, int index, const Engine::Value& v) {
    switch (v.type) {
    case Engine::Value::Null:
        sqlite3_bind_null(statement, index);
        break;
    case Engine::Value::Text:
        bindText(db, statement, index, v.text.constData(), v.text.size());
        break;
    case Engine::Value::Real:
        sqlite3_bind_double(statement, index, v.real);
        break;
    case Engine::Value::Integer:
        sqlite3_bind_int64(statement, index, v.integer);
        break;
    }
}

void bindCell(sqlite3* db, sqlite3_stmt* statement, int index, const RowStore::Cell& cell) {
    switch (cell.type) {
    case RowStore::Cell::Null:
        sqlite3_bind_null(statement, index);
        break;
    case RowStore::Cell::Integer:
        sqlite3_bind_int64(statement, index, cell.integer);
        break;
    case RowStore::Cell::Real:
        sqlite3_bind_double(statement, index, cell.real);
        break;
    case RowStore::Cell::Text:
        bindText(db, statement, index, cell.text, cell.size);
        break;
    }
}

QString quoted(const QString& name) {
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

ListField::Kind kindOf(const char* declared) {
    const QByteArray type = QByteArray(declared ? declared : "").toUpper();
    if (type.contains("INT"))
        return ListField::Kind::Integer;
    if (type.contains("REAL") || type.contains("DOUB") || type.contains("FLOA") ||
        type.contains("NUMERIC"))
        return ListField::Kind::Number;
    if (type.contains("DATE"))
        return ListField::Kind::Date;
    return ListField::Kind::Text;
}

void packColumn(RowStore::Packer& out, sqlite3_stmt* statement, int column) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        out.addNull();
        break;
    case SQLITE_INTEGER:
        out.addInteger(sqlite3_column_int64(statement, column));
        break;
    case SQLITE_FLOAT:
        out.addReal(sqlite3_column_double(statement, column));
        break;
    default:
        out.addText(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                    sqlite3_column_bytes(statement, column));
        break;
    }
}

// Whether a text holds half a surrogate pair on its own: no stored text does (a list refuses
// to store one), so a condition on such a text matches no row; bound as UTF-8 it would look
// for "?" in its place.
bool brokenText(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}

// The condition that the row is still as it was read: its rowid and every column, bound from
// `first` on by bindUnchanged.
QString unchangedCondition(const QList<ListField>& fields, int first) {
    QStringList parts{QStringLiteral("rowid = ?%1").arg(first)};
    for (int c = 0; c < fields.size(); ++c)
        parts.append(QStringLiteral("%1 IS ?%2").arg(quoted(fields[c].name)).arg(first + 1 + c));
    return parts.join(QStringLiteral(" AND "));
}

void bindUnchanged(sqlite3* db, sqlite3_stmt* statement, const Snapshot& list, int row, int first) {
    sqlite3_bind_int64(statement, first, list.rows.rowid(row));
    for (int c = 0; c < list.fields.size(); ++c)
        bindCell(db, statement, first + 1 + c, list.rows.cell(row, c));
}

const char* const kBufferColumns[] = {"单据编号", "业务日期", "经手人", "商品名称", "规格型号",
                                      "单位",     "单价",     "数量",   "应收金额", "联系人",
                                      "联系电话", "单位地址", "备注"};

} // namespace

void throwEngineError(sqlite3* db) {
    throw DataError(db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"));
}

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
    // Before the first read: a file another process is committing to is waited for there too.
    if (rc == SQLITE_OK)
        rc = sqlite3_busy_timeout(db, 5000);
    // A wrong key shows only at the first read.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    // A file that an earlier restore took in WAL mode goes back to the rollback journal, so
    // that a byte copy of data.mdb is again the whole database.
    if (rc == SQLITE_OK)
        rc = leaveWalMode(db);
    if (rc == SQLITE_OK && !LikeFunction::install(db))
        rc = SQLITE_ERROR;
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "shown_date", 1, SQLITE_UTF8, nullptr, shownDate, nullptr,
                                     nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "list_number", 2, SQLITE_UTF8, nullptr, listNumber,
                                     nullptr, nullptr);
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

QString DatabaseFile::sql(const Query& query) {
    QString out;
    if (query.isDistinct()) {
        // Pick lists come sorted so that a clerk finds a code or name at once.
        out = QStringLiteral("SELECT DISTINCT %1 FROM %2")
                  .arg(quoted(query.distinctColumn), quoted(query.table));
    } else {
        out = QStringLiteral("SELECT rowid, * FROM %1").arg(quoted(query.table));
    }
    switch (query.match) {
    case Query::Match::All:
        break;
    case Query::Match::Like:
        out += QStringLiteral(" WHERE %1 LIKE '%' || ?1 || '%'").arg(quoted(query.column));
        break;
    case Query::Match::Equal:
        // NOCASE folds ASCII letters only, as LIKE does; the bill-number index is NOCASE too.
        out += query.value.isEmpty()
                   ? QStringLiteral(" WHERE (%1 IS NULL OR %1 = '')").arg(quoted(query.column))
                   : QStringLiteral(" WHERE %1 = ?1 COLLATE NOCASE").arg(quoted(query.column));
        break;
    }
    // Rows come in the table's natural order whichever plan the engine picks: an index on the
    // condition's column would otherwise order them by its own key.
    out += query.isDistinct() ? QStringLiteral(" ORDER BY 1") : QStringLiteral(" ORDER BY rowid");
    return out;
}

Snapshot DatabaseFile::load(const Query& query) {
    // The engine refuses longer LIKE patterns with "LIKE or GLOB pattern too complex".
    if (query.match == Query::Match::Like &&
        query.value.toUtf8().size() + 2 > sqlite3_limit(db_, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1))
        throw DataError(QStringLiteral("查询的文字太长，请缩短后再查询。"));
    Statement statement;
    prepare(db_, sql(query), statement);
    if (sqlite3_bind_parameter_count(statement.handle) > 0 && !brokenText(query.value)) {
        const QByteArray value = query.value.toUtf8();
        bindText(db_, statement.handle, 1, value.constData(), value.size());
    }

    const bool wholeTable = query.match == Query::Match::All && !query.isDistinct();
    const int first = query.isDistinct() ? 0 : 1;
    const int count = sqlite3_column_count(statement.handle);
    Snapshot list;
    for (int c = first; c < count; ++c)
        list.fields.append({QString::fromUtf8(sqlite3_column_name(statement.handle, c)),
                            kindOf(sqlite3_column_decltype(statement.handle, c))});

    // A whole table's last rowid tells about how many rows a long load has ahead of it.
    qint64 expected = 0;
    if (LoadProgress::observed() && wholeTable) {
        Statement last;
        prepare(db_, QStringLiteral("SELECT max(rowid) FROM %1").arg(quoted(query.table)), last);
        if (sqlite3_step(last.handle) == SQLITE_ROW)
            expected = sqlite3_column_int64(last.handle, 0);
    }
    RowStore::Packer packed;
    int rc;
    while ((rc = sqlite3_step(statement.handle)) == SQLITE_ROW) {
        packed.clear();
        for (int c = first; c < count; ++c)
            packColumn(packed, statement.handle, c);
        list.rows.append(first ? sqlite3_column_int64(statement.handle, 0) : 0, packed);
        if ((list.rows.size() & 0xffff) == 0)
            LoadProgress::report(query.table, list.rows.size(), expected);
    }
    if (rc != SQLITE_DONE)
        throwEngineError(db_);
    return list;
}

bool DatabaseFile::hasRows(const QString& table) {
    Statement statement;
    prepare(db_, QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(quoted(table)), statement);
    const int rc = sqlite3_step(statement.handle);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throwEngineError(db_);
    return rc == SQLITE_ROW;
}

RowStore::Packer DatabaseFile::readRow(const QString& table, qint64 rowid) {
    Statement statement;
    prepare(db_, QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid = ?1").arg(quoted(table)),
            statement);
    sqlite3_bind_int64(statement.handle, 1, rowid);
    const int rc = sqlite3_step(statement.handle);
    if (rc != SQLITE_ROW) {
        if (rc == SQLITE_DONE)
            throw DataError(conflictMessage());
        throwEngineError(db_);
    }
    RowStore::Packer packed;
    const int count = sqlite3_column_count(statement.handle);
    for (int c = 1; c < count; ++c)
        packColumn(packed, statement.handle, c);
    return packed;
}

qint64 DatabaseFile::insert(const QString& table, const QList<ListField>& fields,
                            const QList<int>& set, const QList<Value>& values,
                            RowStore::Packer& stored) {
    QString sql;
    if (set.isEmpty()) {
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(table));
    } else {
        QStringList columns, marks;
        for (int i = 0; i < set.size(); ++i) {
            columns.append(quoted(fields[set[i]].name));
            marks.append(QStringLiteral("?%1").arg(i + 1));
        }
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoted(table), columns.join(QStringLiteral(", ")),
                       marks.join(QStringLiteral(", ")));
    }
    Statement statement;
    prepare(db_, sql, statement);
    for (int i = 0; i < values.size(); ++i)
        bindValue(db_, statement.handle, i + 1, values[i]);
    if (sqlite3_step(statement.handle) != SQLITE_DONE)
        throwEngineError(db_);
    const qint64 rowid = sqlite3_last_insert_rowid(db_);
    try {
        stored = readRow(table, rowid);
    } catch (...) {
        // The table is written all the same; no list can be known to equal it.
        wrote(table, {RowChange::Insert, rowid, nullptr}, nullptr, 0);
        throw;
    }
    return rowid;
}

void DatabaseFile::update(const QString& table, const Snapshot& list, int row,
                          const QList<int>& set, const QList<Value>& values,
                          RowStore::Packer& stored) {
    QStringList assignments;
    for (int i = 0; i < set.size(); ++i)
        assignments.append(
            QStringLiteral("%1 = ?%2").arg(quoted(list.fields[set[i]].name)).arg(i + 1));
    Statement statement;
    prepare(db_,
            QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                .arg(quoted(table), assignments.join(QStringLiteral(", ")),
                     unchangedCondition(list.fields, set.size() + 1)),
            statement);
    for (int i = 0; i < values.size(); ++i)
        bindValue(db_, statement.handle, i + 1, values[i]);
    bindUnchanged(db_, statement.handle, list, row, set.size() + 1);
    if (sqlite3_step(statement.handle) != SQLITE_DONE)
        throwEngineError(db_);
    if (sqlite3_changes(db_) == 0)
        throw DataError(conflictMessage());
    const qint64 rowid = list.rows.rowid(row);
    try {
        stored = readRow(table, rowid);
    } catch (...) {
        wrote(table, {RowChange::Update, rowid, nullptr}, nullptr, 0);
        throw;
    }
}

void DatabaseFile::remove(const QString& table, const Snapshot& list, int row) {
    Statement statement;
    prepare(db_,
            QStringLiteral("DELETE FROM %1 WHERE %2")
                .arg(quoted(table), unchangedCondition(list.fields, 1)),
            statement);
    bindUnchanged(db_, statement.handle, list, row, 1);
    if (sqlite3_step(statement.handle) != SQLITE_DONE)
        throwEngineError(db_);
    if (sqlite3_changes(db_) == 0)
        throw DataError(conflictMessage());
}

void DatabaseFile::refillPrintBuffer(const QString& bill) {
    // The bill's rows as its list takes them (see sql()), numbered by their place in it.
    const QString condition =
        bill.isEmpty() ? QStringLiteral("(%1.\"单据编号\" IS NULL OR %1.\"单据编号\" = '')")
                       : QStringLiteral("%1.\"单据编号\" = ?1 COLLATE NOCASE");
    QStringList columns{QStringLiteral("\"序号\"")}, values;
    values.append(QStringLiteral("(SELECT count(*) FROM \"表3\" b WHERE %1 AND b.rowid <= "
                                 "a.rowid)")
                      .arg(condition.arg(QLatin1Char('b'))));
    for (const char* column : kBufferColumns) {
        const QString name = quoted(QString::fromUtf8(column));
        columns.append(name);
        // The values as the list shows them and the buffer's columns take them back: an empty
        // cell is an empty text, the date yyyy/M/d, numbers through their text.
        const QString type = Schema::columnType(QStringLiteral("表3"), QString::fromUtf8(column));
        if (type == QLatin1String("DATE"))
            values.append(QStringLiteral("shown_date(a.%1)").arg(name));
        else if (type == QLatin1String("REAL"))
            values.append(
                QStringLiteral("list_number(a.%1, '%2')").arg(name, QString::fromUtf8(column)));
        else
            values.append(QStringLiteral("coalesce(a.%1, '')").arg(name));
    }
    exec("DELETE FROM \"表4\"");
    Statement statement;
    prepare(db_,
            QStringLiteral("INSERT INTO \"表4\" (%1) SELECT %2 FROM \"表3\" a WHERE %3 ORDER BY "
                           "a.rowid")
                .arg(columns.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")),
                     condition.arg(QLatin1Char('a'))),
            statement);
    if (!bill.isEmpty()) {
        if (brokenText(bill))
            sqlite3_bind_null(statement.handle, 1);
        else {
            const QByteArray text = bill.toUtf8();
            bindText(db_, statement.handle, 1, text.constData(), text.size());
        }
    }
    if (sqlite3_step(statement.handle) != SQLITE_DONE)
        throwEngineError(db_);
    touched_.insert(QStringLiteral("表4"));
    if (!inTransaction_)
        finish();
}

QString DatabaseFile::lastPriceSql() {
    // Ordered as the index on (联系人, 商品编码, 业务日期) keeps the rows, so the engine reads
    // one entry from its end.
    return QStringLiteral("SELECT \"单价\", \"业务日期\" FROM \"表3\" WHERE \"联系人\" = ?1 "
                          "COLLATE NOCASE AND \"商品编码\" = ?2 COLLATE NOCASE AND \"单价\" IS "
                          "NOT NULL ORDER BY \"业务日期\" DESC, rowid DESC LIMIT 1");
}

std::optional<Engine::Price> DatabaseFile::lastPrice(const QString& contact, const QString& code) {
    Statement statement;
    prepare(db_, lastPriceSql(), statement);
    const QByteArray contactText = contact.toUtf8();
    const QByteArray codeText = code.toUtf8();
    bindText(db_, statement.handle, 1, contactText.constData(), contactText.size());
    bindText(db_, statement.handle, 2, codeText.constData(), codeText.size());
    const int rc = sqlite3_step(statement.handle);
    if (rc == SQLITE_DONE)
        return std::nullopt;
    if (rc != SQLITE_ROW)
        throwEngineError(db_);
    Price found;
    if (sqlite3_column_type(statement.handle, 0) == SQLITE_TEXT) {
        // A price another program left as text counts as the number it reads as.
        const auto parsed = NumberText::parse(QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement.handle, 0))));
        if (!parsed)
            return std::nullopt;
        found.price = static_cast<double>(*parsed);
    } else {
        found.price = sqlite3_column_double(statement.handle, 0);
    }
    found.date = DateText::parse(
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement.handle, 1))));
    return found;
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
    cache_.clear();
}

quint64 DatabaseFile::generation(const QString& table) {
    if (inTransaction_)
        return 0;
    checkForeignWrites();
    return qMax(written_.value(table), floor_);
}

quint64 DatabaseFile::wrote(const QString& table, const RowChange& change, const Snapshot* writer,
                            quint64 writerGeneration) {
    if (inTransaction_) {
        touched_.insert(table);
        return 0;
    }
    const quint64 before = qMax(written_.value(table), floor_);
    const quint64 after = ++counter_;
    written_.insert(table, after);
    return cache_.wrote(table, before, after, change, writer, writerGeneration);
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
        cache_.forget(table);
    }
    touched_.clear();
}
