#pragma once

#include <QByteArray>
#include <QList>
#include <QVector>
#include <QtGlobal>
#include <memory>
#include <optional>
#include <string>

// The rows of a loaded list, packed: each row's cells lie one after the other in large blocks
// shared by every copy of the store, so a list of a million rows makes no allocation per row
// or per cell. Blocks only ever grow at their end and are never written again, which makes
// sharing them safe; copies share the row index too until one of them changes it.
//
// A cell is a tag byte and its value: 0 NULL; 1 a double (8 bytes); 2 an integer (8 bytes);
// 3 a text with a 4-byte length; 0x80 | n a text of n < 128 bytes.
class RowStore {
public:
    struct Cell {
        enum Type : unsigned char { Null, Real, Integer, Text };
        Type type = Null;
        double real = 0;
        qint64 integer = 0;
        const char* text = nullptr;
        qsizetype size = 0;
    };

    // Builds one row, cell by cell, in a buffer that can be reused for the next row.
    class Packer {
    public:
        void clear() { bytes_.clear(); }
        void addNull() { bytes_.push_back(char(0)); }
        void addReal(double value);
        void addInteger(qint64 value);
        void addText(const char* text, qsizetype size);
        const std::string& bytes() const { return bytes_; }

    private:
        std::string bytes_;
    };

    class Mark;

    RowStore();

    int size() const { return static_cast<int>(rows_.size()); }
    bool isEmpty() const { return rows_.isEmpty(); }
    qint64 rowid(int row) const { return rows_[row].rowid; }
    Cell cell(int row, int column) const;

    void append(qint64 rowid, const Packer& row);
    void replace(int row, qint64 rowid, const Packer& packed);
    void remove(int row);
    // The row holding rowid in a store kept in rowid order (a whole table in its natural
    // order), or -1.
    int indexOfRowid(qint64 rowid) const;

    // Equal versions mean equal contents: every change gives the store a version no other
    // store has had, and copies keep the version of what they copied.
    quint64 version() const { return version_; }

    Mark mark() const;
    // The rowids of the rows added, replaced or removed since `mark` was taken of this store or
    // of one sharing its blocks (its copies, and their later states), in rowid order. Nothing
    // when the marked store's rows lie elsewhere (this one was loaded anew), when either is not
    // in rowid order, or when more than `limit` rows changed.
    std::optional<QList<qint64>> changedSince(const Mark& mark, qsizetype limit) const;

private:
    struct Ref {
        qint64 rowid;
        const char* cells;
    };
    struct Blocks;

    const char* store(const Packer& row);
    void changed();

    QVector<Ref> rows_;
    std::shared_ptr<Blocks> blocks_;
    quint64 version_;
};

// A store's rows as they stood, for asking a later state of the store which rows changed since
// (see RowStore::changedSince). Holds the rows' keys and places, not their contents.
class RowStore::Mark {
private:
    friend class RowStore;
    quint64 lineage_ = 0;
    quint64 version_ = 0;
    QVector<Ref> rows_;
};
