#pragma once

#include "data/Engine.h"
#include "data/ListField.h"
#include "data/Query.h"
#include "data/Snapshot.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QVector>
#include <optional>

class Connection;

// A static-cursor data set: open() loads a snapshot of the query's rows, which stays as it was
// until the next open(). Rows of plain table queries are written back one at a time by their
// key, and only while the row is as it was read, with bound values; distinct-value lists are
// read-only. A whole table whose rows are certain not to have changed since the process last
// loaded it is not read again (see SnapshotCache). The statements are the engine's.
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Insert, Edit };
    using Kind = ListField::Kind;
    using Field = ListField;

    Dataset(Connection* connection, const QString& name, QObject* parent = nullptr);

    Connection* connection() const { return connection_; }

    // The query may only change while the data set is closed.
    void setQuery(const Query& query);
    const Query& query() const { return query_; }

    // Runs the query and loads its rows. A search text longer than the engine takes as a
    // pattern fails with a message saying so.
    void open();
    void close();
    bool isOpen() const { return state_ != State::Inactive; }
    State state() const { return state_; }

    int recordCount() const { return list_.rows.size(); }
    // Index of the current row, -1 when there is none.
    int recNo() const { return current_; }
    bool eof() const { return eof_; }
    void first();
    void last();
    void next();
    void moveTo(int row);

    const QList<Field>& fields() const { return list_.fields; }
    int fieldIndex(const QString& name) const;

    // The current row's field as text: numbers in the general format, dates as short dates,
    // NULL as empty text. Fails on a closed data set or an unknown field.
    QString text(const QString& field) const;
    // Any row's field as text; never fails (empty for a bad row or column).
    QString text(int row, int column) const;
    // Any row's field as stored, its text UTF-8 and valid until the rows change; a Null cell for
    // a bad row or column. For readers that compare many rows' fields without making texts.
    RowStore::Cell cell(int row, int column) const;
    // A number column's value; empty for NULL or text that is not a number.
    std::optional<double> number(int row, int column) const;
    qint64 rowId(int row) const;
    // Changes whenever the rows change; equal versions mean equal rows, also across a reopen
    // that found the table unchanged.
    quint64 rowsVersion() const { return list_.rows.version(); }
    // The rows as they stand, for asking a later state of the list (or another list of the same
    // table) which rows changed since: see RowStore::changedSince.
    RowStore::Mark rowsMark() const { return list_.rows.mark(); }
    std::optional<QList<qint64>> rowsChangedSince(const RowStore::Mark& mark,
                                                  qsizetype limit) const {
        return list_.rows.changedSince(mark, limit);
    }
    // The row that holds `rowid` (the rows come in rowid order but in a distinct-value list), or
    // -1.
    int rowOfRowid(qint64 rowid) const { return list_.rows.indexOfRowid(rowid); }
    // Whether the query's table holds any row at all, whatever the list currently shows.
    bool tableHasRows() const;

    // Starts a new row at the end of the list and makes it current.
    void append();
    // Starts editing the current row; on a list without rows this starts a new row.
    void edit();
    // Text converted by the column: empty text stores NULL in a number or date column, other
    // text that a number column cannot take fails with the field's message. Text holding half
    // a surrogate pair alone fails too (it has no UTF-8 form). Any failure discards the pending
    // row.
    void setText(const QString& field, const QString& text);
    void setDate(const QString& field, const QDate& date);
    // Writes a whole number (money in fen), or NULL for none, into a number or integer column;
    // no conversion.
    void setInteger(const QString& field, std::optional<qint64> value);
    // Stores the pending row with one INSERT or UPDATE; on failure the row is discarded.
    void post();
    void cancel();
    // Deletes the current row from its table.
    void remove();

signals:
    void aboutToReset();
    void didReset();
    void aboutToInsertRow(int row);
    void rowInserted(int row);
    void aboutToRemoveRow(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentRowChanged(int row);

private:
    using Value = Engine::Value;

    bool wholeTable() const;
    void requireOpen() const;
    void requireWritable() const;
    int requireField(const QString& name) const;
    void setCurrent(int row);
    void set(int column, Value value);
    // Counts a write of this list's table and puts the list's row in step with it.
    void wrote(RowChange change, const RowStore::Packer* stored);
    [[noreturn]] void failPending(const QString& message);
    void discardPending();

    Connection* connection_;
    Query query_;
    State state_ = State::Inactive;
    Snapshot list_;
    // The table's generation the list equals while it shows the whole table; 0 otherwise.
    quint64 generation_ = 0;
    int current_ = -1;
    bool eof_ = true;
    QVector<std::optional<Value>> pending_;
};
