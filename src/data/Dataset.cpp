#include "data/Dataset.h"

#include "data/Connection.h"
#include "data/DateText.h"
#include "data/Errors.h"
#include "data/NumberText.h"

namespace {

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
    Engine& engine = connection_->engine();
    // The generation is taken before reading, so that a write seen only by the read makes the
    // kept table stale rather than passing unnoticed.
    const QString& table = query_.table;
    const quint64 generation = wholeTable() ? engine.generation(table) : 0;
    const Snapshot* kept = engine.snapshot(table, generation);
    Snapshot loaded;
    if (!kept) {
        loaded = engine.load(query_);
        if (wholeTable())
            engine.keep(table, generation, loaded);
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

RowStore::Cell Dataset::cell(int row, int column) const {
    if (row < 0 || row >= list_.rows.size() || column < 0 || column >= list_.fields.size())
        return {};
    return list_.rows.cell(row, column);
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
    return connection_->engine().hasRows(query_.table);
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
    // A server's texts cannot hold a NUL character at all.
    const qsizetype nul = connection_->engine().storesNul() ? -1 : text.indexOf(QChar(0));
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

void Dataset::setInteger(const QString& field, std::optional<qint64> value) {
    const int column = requireField(field);
    if (state_ == State::Browse)
        throw DataError(QStringLiteral("%1: Dataset not in edit or insert mode").arg(objectName()));
    Value stored;
    if (value) {
        stored.type = Value::Integer;
        stored.integer = *value;
    }
    set(column, stored);
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

void Dataset::wrote(RowChange change, const RowStore::Packer* stored) {
    if (stored) {
        list_.rows.replace(current_, change.rowid, *stored);
        change.row = stored;
    }
    generation_ = connection_->engine().wrote(query_.table, change, generation_ ? &list_ : nullptr,
                                              generation_);
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
        QList<Value> values;
        for (int c : set)
            values.append(*pending_[c]);
        Engine& engine = connection_->engine();
        RowStore::Packer stored;
        if (state_ == State::Insert) {
            const qint64 key = engine.insert(query_.table, list_.fields, set, values, stored);
            wrote({RowChange::Insert, key, nullptr}, &stored);
        } else {
            engine.update(query_.table, list_, current_, set, values, stored);
            wrote({RowChange::Update, list_.rows.rowid(current_), nullptr}, &stored);
        }
    } catch (...) {
        discardPending();
        throw;
    }
    state_ = State::Browse;
    pending_.clear();
    emit rowChanged(current_);
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
    connection_->engine().remove(query_.table, list_, current_);
    const int row = current_;
    emit aboutToRemoveRow(row);
    list_.rows.remove(row);
    wrote({RowChange::Remove, rowid, nullptr}, nullptr);
    emit rowRemoved(row);
    current_ = qMin(row, list_.rows.size() - 1);
    emit currentRowChanged(current_);
    eof_ = list_.rows.isEmpty();
}
