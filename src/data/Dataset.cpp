#include "data/Dataset.h"

#include "data/Connection.h"
#include "data/DateText.h"
#include "data/Errors.h"
#include "data/LoadProgress.h"
#include "data/NumberText.h"
#include "data/ServerRows.h"

#include <cstring>
#include <sqlite3.h>
#include <string>

namespace {

// The file's engine takes LIKE patterns of at most this many bytes by default.
constexpr int kServerLikePatternLength = 50000;

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

void bindText(sqlite3* db, sqlite3_stmt* statement, int index, const QByteArray& text) {
    if (sqlite3_bind_text(statement, index, text.constData(), text.size(), SQLITE_TRANSIENT) !=
        SQLITE_OK)
        throwEngineError(db);
}

QString quoted(const QString& name) {
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

Dataset::Kind kindOf(const char* declared) {
    const QByteArray type = QByteArray(declared ? declared : "").toUpper();
    if (type.contains("INT"))
        return Dataset::Kind::Integer;
    if (type.contains("REAL") || type.contains("DOUB") || type.contains("FLOA") ||
        type.contains("NUMERIC"))
        return Dataset::Kind::Number;
    if (type.contains("DATE"))
        return Dataset::Kind::Date;
    return Dataset::Kind::Text;
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

// Where a text holds half a surrogate pair on its own (as a clipboard may deliver it), as a
// count of the characters before it; -1 when it holds none. Such a code unit has no UTF-8
// form: stored, it would silently become "?".
qsizetype unpairedSurrogate(const QString& text) {
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++characters) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return characters;
    }
    return -1;
}

} // namespace

Dataset::Dataset(Connection* connection, const QString& name, QObject* parent)
    : QObject(parent), connection_(connection) {
    setObjectName(name);
    connect(connection_, &Connection::aboutToClose, this, &Dataset::close);
}

void Dataset::setQuery(const Query& query) {
    if (isOpen())
        throw DataError(QStringLiteral("%1: Cannot perform this operation on an open dataset")
                            .arg(objectName()));
    query_ = query;
}

bool Dataset::wholeTable() const {
    return query_.match == Query::Match::All && !query_.isDistinct();
}

void Dataset::open() {
    if (isOpen())
        return;
    ServerDatabase* server = connection_->server();
    DatabaseFile* file = server ? nullptr : &connection_->file();
    // The engine refuses longer LIKE patterns with "LIKE or GLOB pattern too complex"; the
    // server takes the same searches as the file.
    if (query_.match == Query::Match::Like &&
        query_.value.toUtf8().size() + 2 >
            (file ? sqlite3_limit(file->handle(), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)
                  : kServerLikePatternLength))
        throw DataError(QStringLiteral("查询的文字太长，请缩短后再查询。"));

    // The generation is taken before reading, so that a write seen only by the read makes the
    // kept table stale rather than passing unnoticed.
    const QString& table = query_.table;
    const quint64 generation = !wholeTable() ? 0
                               : server      ? server->generation(table)
                                             : file->generation(table);
    const DatabaseFile::Snapshot* kept =
        server ? server->snapshot(table, generation) : file->snapshot(table, generation);
    DatabaseFile::Snapshot loaded;
    if (!kept) {
        loaded = server ? ServerRows::load(*server, query_) : load(*file);
        if (wholeTable() && server)
            server->keep(table, generation, loaded);
        else if (wholeTable())
            file->keep(table, generation, loaded);
    }

    emit aboutToReset();
    list_ = kept ? *kept : std::move(loaded);
    generation_ = generation;
    state_ = State::Browse;
    current_ = list_.rows.isEmpty() ? -1 : 0;
    eof_ = list_.rows.isEmpty();
    pending_.clear();
    emit didReset();
    emit currentRowChanged(current_);
}

DatabaseFile::Snapshot Dataset::load(DatabaseFile& file) const {
    sqlite3* db = file.handle();
    Statement statement;
    prepare(db, query_.sql(), statement);
    // No stored text holds half a surrogate pair (setText refuses it), so a condition on such
    // a text matches no row; bound as UTF-8 it would look for "?" in its place.
    if (sqlite3_bind_parameter_count(statement.handle) > 0 && unpairedSurrogate(query_.value) < 0)
        bindText(db, statement.handle, 1, query_.value.toUtf8());

    const int first = query_.isDistinct() ? 0 : 1;
    const int count = sqlite3_column_count(statement.handle);
    DatabaseFile::Snapshot list;
    for (int c = first; c < count; ++c)
        list.fields.append({QString::fromUtf8(sqlite3_column_name(statement.handle, c)),
                            kindOf(sqlite3_column_decltype(statement.handle, c))});

    // A whole table's last rowid tells about how many rows a long load has ahead of it.
    qint64 expected = 0;
    if (LoadProgress::observed() && wholeTable()) {
        Statement last;
        prepare(db, QStringLiteral("SELECT max(rowid) FROM %1").arg(quoted(query_.table)), last);
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
            LoadProgress::report(query_.table, list.rows.size(), expected);
    }
    if (rc != SQLITE_DONE)
        throwEngineError(db);
    return list;
}

void Dataset::close() {
    if (!isOpen())
        return;
    emit aboutToReset();
    list_ = {};
    generation_ = 0;
    pending_.clear();
    state_ = State::Inactive;
    current_ = -1;
    eof_ = true;
    emit didReset();
    emit currentRowChanged(current_);
}

void Dataset::requireOpen() const {
    if (!isOpen())
        throw DataError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void Dataset::requireWritable() const {
    requireOpen();
    if (query_.isDistinct())
        throw DataError(
            QStringLiteral("当前列表只显示“%1”一列，不能添加或修改记录。请先点击“刷新”。")
                .arg(query_.distinctColumn));
}

int Dataset::requireField(const QString& name) const {
    requireOpen();
    const int column = fieldIndex(name);
    if (column < 0)
        throw DataError(QStringLiteral("%1: Field '%2' not found").arg(objectName(), name));
    return column;
}

int Dataset::fieldIndex(const QString& name) const {
    for (int i = 0; i < list_.fields.size(); ++i) {
        if (list_.fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void Dataset::setCurrent(int row) {
    if (row == current_)
        return;
    current_ = row;
    emit currentRowChanged(row);
}

void Dataset::first() {
    requireOpen();
    if (state_ != State::Browse)
        post();
    setCurrent(list_.rows.isEmpty() ? -1 : 0);
    eof_ = list_.rows.isEmpty();
}

void Dataset::last() {
    requireOpen();
    if (state_ != State::Browse)
        post();
    setCurrent(list_.rows.size() - 1);
    eof_ = true;
}

void Dataset::next() {
    requireOpen();
    if (state_ != State::Browse)
        post();
    if (current_ + 1 < list_.rows.size()) {
        setCurrent(current_ + 1);
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void Dataset::moveTo(int row) {
    requireOpen();
    if (row < 0 || row >= list_.rows.size())
        return;
    if (state_ != State::Browse && row != current_)
        post();
    setCurrent(row);
    eof_ = false;
}

QString Dataset::text(const QString& field) const {
    const int column = requireField(field);
    return current_ < 0 ? QString() : text(current_, column);
}

QString Dataset::text(int row, int column) const {
    if (row < 0 || row >= list_.rows.size() || column < 0 || column >= list_.fields.size())
        return QString();
    const RowStore::Cell v = list_.rows.cell(row, column);
    const ListField& field = list_.fields[column];
    switch (v.type) {
    case RowStore::Cell::Null:
        return QString();
    case RowStore::Cell::Real:
        return NumberText::general(v.real);
    case RowStore::Cell::Integer:
        return field.kind == Kind::Number ? NumberText::general(static_cast<double>(v.integer))
                                          : QString::number(v.integer);
    case RowStore::Cell::Text:
        break;
    }
    const QString text = QString::fromUtf8(v.text, v.size);
    return field.kind == Kind::Date ? DateText::display(text) : text;
}

std::optional<double> Dataset::number(int row, int column) const {
    if (row < 0 || row >= list_.rows.size() || column < 0 || column >= list_.fields.size())
        return std::nullopt;
    const RowStore::Cell v = list_.rows.cell(row, column);
    switch (v.type) {
    case RowStore::Cell::Real:
        return v.real;
    case RowStore::Cell::Integer:
        return static_cast<double>(v.integer);
    case RowStore::Cell::Text: {
        const auto parsed = NumberText::parse(QString::fromUtf8(v.text, v.size));
        if (parsed)
            return static_cast<double>(*parsed);
        return std::nullopt;
    }
    case RowStore::Cell::Null:
        break;
    }
    return std::nullopt;
}

qint64 Dataset::rowId(int row) const {
    return row >= 0 && row < list_.rows.size() ? list_.rows.rowid(row) : 0;
}

bool Dataset::tableHasRows() const {
    if (ServerDatabase* server = connection_->server())
        return ServerRows::hasRows(*server, query_.table);
    sqlite3* db = connection_->handle();
    Statement statement;
    prepare(db, QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(quoted(query_.table)), statement);
    const int rc = sqlite3_step(statement.handle);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throwEngineError(db);
    return rc == SQLITE_ROW;
}

void Dataset::append() {
    requireWritable();
    if (state_ != State::Browse)
        post();
    const int row = list_.rows.size();
    RowStore::Packer nulls;
    for (int c = 0; c < list_.fields.size(); ++c)
        nulls.addNull();
    emit aboutToInsertRow(row);
    list_.rows.append(0, nulls);
    emit rowInserted(row);
    state_ = State::Insert;
    pending_ = QVector<std::optional<Value>>(list_.fields.size());
    setCurrent(row);
    eof_ = false;
}

void Dataset::edit() {
    requireWritable();
    if (list_.rows.isEmpty()) {
        append();
        return;
    }
    if (state_ != State::Browse)
        return;
    state_ = State::Edit;
    pending_ = QVector<std::optional<Value>>(list_.fields.size());
}

void Dataset::setText(const QString& field, const QString& text) {
    const int column = requireField(field);
    if (state_ == State::Browse)
        throw DataError(QStringLiteral("%1: Dataset not in edit or insert mode").arg(objectName()));
    const qsizetype broken = unpairedSurrogate(text);
    if (broken >= 0)
        failPending(QStringLiteral("字段“%1”的第 %2 个字符无效，无法保存。请删去这个字符再试。")
                        .arg(list_.fields[column].name, QString::number(broken + 1)));
    // The server's texts cannot hold a NUL character at all.
    const qsizetype nul = connection_->serverUri().isEmpty() ? -1 : text.indexOf(QChar(0));
    if (nul >= 0)
        failPending(
            QStringLiteral(
                "字段“%1”的第 %2 个字符是空字符，数据库服务器不能保存它。请删去这个字符再试。")
                .arg(list_.fields[column].name,
                     QString::number(text.left(nul).toUcs4().size() + 1)));
    Value value;
    switch (list_.fields[column].kind) {
    case Kind::Text:
        value.type = Value::Text;
        value.text = text.toUtf8();
        break;
    case Kind::Number:
        if (!text.isEmpty()) {
            const auto parsed = NumberText::parse(text);
            if (!parsed)
                failPending(
                    QStringLiteral("'%1' is not a valid floating point value for field '%2'")
                        .arg(text, list_.fields[column].name));
            value.type = Value::Real;
            value.real = static_cast<double>(*parsed);
        }
        break;
    case Kind::Date:
        if (!text.isEmpty()) {
            const QDate date = DateText::parse(text);
            if (!date.isValid())
                failPending(QStringLiteral("'%1' is not a valid date").arg(text));
            value.type = Value::Text;
            value.text = DateText::toStorage(date).toUtf8();
        }
        break;
    case Kind::Integer:
        failPending(QStringLiteral("Field '%1' cannot be modified").arg(list_.fields[column].name));
    }
    set(column, value);
}

void Dataset::setDate(const QString& field, const QDate& date) {
    setText(field, date.isValid() ? DateText::toStorage(date) : QString());
}

void Dataset::set(int column, Value value) {
    pending_[column] = std::move(value);
}

void Dataset::failPending(const QString& message) {
    discardPending();
    throw ConversionError(message);
}

void Dataset::discardPending() {
    if (state_ == State::Insert) {
        const int row = current_;
        emit aboutToRemoveRow(row);
        list_.rows.remove(row);
        emit rowRemoved(row);
        // The row under the cursor changed even when its index did not.
        current_ = list_.rows.size() - 1;
        emit currentRowChanged(current_);
        eof_ = list_.rows.isEmpty();
    }
    if (state_ != State::Inactive)
        state_ = State::Browse;
    pending_.clear();
}

void Dataset::cancel() {
    requireOpen();
    discardPending();
}

RowStore::Packer Dataset::readRow(qint64 rowid) const {
    sqlite3* db = connection_->handle();
    Statement statement;
    prepare(db,
            QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid = ?1").arg(quoted(query_.table)),
            statement);
    sqlite3_bind_int64(statement.handle, 1, rowid);
    const int rc = sqlite3_step(statement.handle);
    if (rc != SQLITE_ROW) {
        if (rc == SQLITE_DONE)
            throw DataError(QStringLiteral("Row cannot be located for updating. Some values may "
                                           "have been changed since it was last read."));
        throwEngineError(db);
    }
    RowStore::Packer packed;
    const int count = sqlite3_column_count(statement.handle);
    for (int c = 1; c < count; ++c)
        packColumn(packed, statement.handle, c);
    return packed;
}

void Dataset::wrote(DatabaseFile::Change change, std::optional<RowStore::Packer> stored) {
    if (ServerDatabase* server = connection_->server()) {
        if (stored) {
            list_.rows.replace(current_, change.rowid, *stored);
            change.row = &*stored;
        }
        generation_ =
            server->wrote(query_.table, change, generation_ ? &list_ : nullptr, generation_);
        return;
    }
    // Without the row read back the list cannot follow the table; the table still counts as
    // written.
    if (change.kind != DatabaseFile::Change::Remove) {
        try {
            stored = readRow(change.rowid);
        } catch (...) {
            generation_ = connection_->file().wrote(query_.table, change, nullptr, 0);
            throw;
        }
        list_.rows.replace(current_, change.rowid, *stored);
        change.row = &*stored;
    }
    generation_ = connection_->file().wrote(query_.table, change, generation_ ? &list_ : nullptr,
                                            generation_);
}

QList<ServerRows::Param> Dataset::storedRow(int row) const {
    QList<ServerRows::Param> values;
    for (int c = 0; c < list_.fields.size(); ++c)
        values.append(ServerRows::cellParam(list_.rows.cell(row, c)));
    return values;
}

void Dataset::postToServer(ServerDatabase& server, const QList<int>& set) {
    QStringList names;
    QList<ServerRows::Param> values;
    for (int c : set) {
        names.append(list_.fields[c].name);
        const Value& v = *pending_[c];
        switch (v.type) {
        case Value::Null:
            values.append(std::nullopt);
            break;
        case Value::Text:
            values.append(v.text);
            break;
        case Value::Real:
            values.append(QByteArray::number(v.real, 'g', 17));
            break;
        case Value::Integer:
            values.append(QByteArray::number(v.integer));
            break;
        }
    }
    RowStore::Packer stored;
    if (state_ == State::Insert) {
        const qint64 key = ServerRows::insert(server, query_.table, names, values, stored);
        wrote({DatabaseFile::Change::Insert, key, nullptr}, std::move(stored));
    } else {
        const qint64 key = list_.rows.rowid(current_);
        ServerRows::update(server, query_.table, key, names, values, list_.fields,
                           storedRow(current_), stored);
        wrote({DatabaseFile::Change::Update, key, nullptr}, std::move(stored));
    }
}

void Dataset::post() {
    requireOpen();
    if (state_ == State::Browse)
        return;
    try {
        QList<int> set;
        for (int c = 0; c < pending_.size(); ++c) {
            if (pending_[c])
                set.append(c);
        }
        if (state_ == State::Edit && set.isEmpty()) {
            state_ = State::Browse;
            pending_.clear();
            return;
        }
        if (ServerDatabase* server = connection_->server())
            postToServer(*server, set);
        else
            postToFile(set);
    } catch (...) {
        discardPending();
        throw;
    }
    state_ = State::Browse;
    pending_.clear();
    emit rowChanged(current_);
}

QString Dataset::unchangedCondition(int firstIndex) const {
    QStringList parts{QStringLiteral("rowid = ?%1").arg(firstIndex)};
    for (int c = 0; c < list_.fields.size(); ++c)
        parts.append(
            QStringLiteral("%1 IS ?%2").arg(quoted(list_.fields[c].name)).arg(firstIndex + 1 + c));
    return parts.join(QStringLiteral(" AND "));
}

void Dataset::bindUnchanged(sqlite3* db, sqlite3_stmt* statement, int firstIndex) const {
    sqlite3_bind_int64(statement, firstIndex, list_.rows.rowid(current_));
    for (int c = 0; c < list_.fields.size(); ++c) {
        const RowStore::Cell cell = list_.rows.cell(current_, c);
        const int index = firstIndex + 1 + c;
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
            bindText(db, statement, index, QByteArray(cell.text, cell.size));
            break;
        }
    }
}

void Dataset::postToFile(const QList<int>& set) {
    sqlite3* db = connection_->handle();
    QStringList columns;
    for (int c : set)
        columns.append(quoted(list_.fields[c].name));
    QString sql;
    if (state_ == State::Insert) {
        if (set.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(query_.table));
        } else {
            QStringList marks;
            for (int i = 1; i <= set.size(); ++i)
                marks.append(QStringLiteral("?%1").arg(i));
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoted(query_.table), columns.join(QStringLiteral(", ")),
                           marks.join(QStringLiteral(", ")));
        }
    } else {
        QStringList assignments;
        for (int i = 0; i < set.size(); ++i)
            assignments.append(QStringLiteral("%1 = ?%2").arg(columns[i]).arg(i + 1));
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                  .arg(quoted(query_.table), assignments.join(QStringLiteral(", ")),
                       unchangedCondition(set.size() + 1));
    }
    Statement statement;
    prepare(db, sql, statement);
    for (int i = 0; i < set.size(); ++i) {
        const Value& v = *pending_[set[i]];
        switch (v.type) {
        case Value::Null:
            sqlite3_bind_null(statement.handle, i + 1);
            break;
        case Value::Text:
            bindText(db, statement.handle, i + 1, v.text);
            break;
        case Value::Real:
            sqlite3_bind_double(statement.handle, i + 1, v.real);
            break;
        case Value::Integer:
            sqlite3_bind_int64(statement.handle, i + 1, v.integer);
            break;
        }
    }
    if (state_ == State::Edit)
        bindUnchanged(db, statement.handle, set.size() + 1);
    if (sqlite3_step(statement.handle) != SQLITE_DONE)
        throwEngineError(db);
    if (state_ == State::Edit && sqlite3_changes(db) == 0)
        throw DataError(conflictMessage());
    if (state_ == State::Insert)
        wrote({DatabaseFile::Change::Insert, sqlite3_last_insert_rowid(db), nullptr});
    else
        wrote({DatabaseFile::Change::Update, list_.rows.rowid(current_), nullptr});
}

void Dataset::remove() {
    requireWritable();
    if (state_ == State::Insert) {
        discardPending();
        return;
    }
    if (current_ < 0)
        throw DataError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    state_ = State::Browse;
    pending_.clear();
    const qint64 rowid = list_.rows.rowid(current_);
    if (ServerDatabase* server = connection_->server()) {
        ServerRows::remove(*server, query_.table, rowid, list_.fields, storedRow(current_));
    } else {
        sqlite3* db = connection_->handle();
        Statement statement;
        prepare(db,
                QStringLiteral("DELETE FROM %1 WHERE %2")
                    .arg(quoted(query_.table), unchangedCondition(1)),
                statement);
        bindUnchanged(db, statement.handle, 1);
        if (sqlite3_step(statement.handle) != SQLITE_DONE)
            throwEngineError(db);
        if (sqlite3_changes(db) == 0)
            throw DataError(conflictMessage());
    }
    const int row = current_;
    emit aboutToRemoveRow(row);
    list_.rows.remove(row);
    wrote({DatabaseFile::Change::Remove, rowid, nullptr});
    emit rowRemoved(row);
    current_ = qMin(row, list_.rows.size() - 1);
    emit currentRowChanged(current_);
    eof_ = list_.rows.isEmpty();
}
