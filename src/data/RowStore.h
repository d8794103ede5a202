#pragma once

#include <QByteArray>
#include <QList>
#include <QVector>
#include <QtGlobal>
#include <algorithm>
#include <cstring>
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

    // Writes one row's cells, in order, into room of the row's exact size: a long load counts a
    // row's size first (nullSize, numberSize, textSize for each cell) and then writes it
    // straight into the store, with no copy in between.
    class Writer {
    public:
        static constexpr qsizetype nullSize = 1;
        static constexpr qsizetype numberSize = 9;
        static constexpr qsizetype textSize(qsizetype size) { return (size < 128 ? 1 : 5) + size; }

        void addNull() { *at_++ = char(kNullTag); }
        void addReal(double value) { put(kRealTag, &value); }
        void addInteger(qint64 value) { put(kIntegerTag, &value); }
        void addText(const char* text, qsizetype size) {
            if (size < 128) {
                *at_++ = char(kShortTextTag | size);
            } else {
                const quint32 length = static_cast<quint32>(size);
                *at_++ = char(kLongTextTag);
                std::memcpy(at_, &length, sizeof length);
                at_ += sizeof length;
            }
            std::memcpy(at_, text, static_cast<std::size_t>(size));
            at_ += size;
        }

    private:
        friend class RowStore;
        friend class Packer;
        explicit Writer(char* at) : at_(at) {}
        template <typename T> void put(unsigned char tag, const T* value) {
            *at_++ = char(tag);
            std::memcpy(at_, value, sizeof(T));
            at_ += sizeof(T);
        }
        char* at_;
    };

    // Builds one row, cell by cell, in a buffer that is reused for the next row.
    class Packer {
    public:
        void clear() { used_ = 0; }
        void addNull() { room(Writer::nullSize).addNull(); }
        void addReal(double value) { room(Writer::numberSize).addReal(value); }
        void addInteger(qint64 value) { room(Writer::numberSize).addInteger(value); }
        void addText(const char* text, qsizetype size) {
            room(Writer::textSize(size)).addText(text, size);
        }
        const char* data() const { return bytes_.data(); }
        std::size_t size() const { return used_; }

    private:
        Writer room(qsizetype size) {
            const std::size_t at = used_;
            used_ += static_cast<std::size_t>(size);
            if (bytes_.size() < used_)
                bytes_.resize(std::max(used_, 2 * bytes_.size()));
            return Writer(bytes_.data() + at);
        }
        std::string bytes_;
        std::size_t used_ = 0;
    };

    class Mark;

    RowStore();

    int size() const { return static_cast<int>(rows_.size()); }
    bool isEmpty() const { return rows_.isEmpty(); }
    qint64 rowid(int row) const { return rows_[row].rowid; }
    Cell cell(int row, int column) const;

    void append(qint64 rowid, const Packer& row);
    // Appends a row of `size` bytes, which the caller writes through the writer returned before
    // anything else reads or changes the store.
    Writer append(qint64 rowid, qsizetype size);
    // Moves the rows of `other` after these, in their order, without copying their cells.
    void append(RowStore&& other);
    void reserve(int rows) { rows_.reserve(rows); }
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
    static constexpr unsigned char kNullTag = 0, kRealTag = 1, kIntegerTag = 2, kLongTextTag = 3,
                                   kShortTextTag = 0x80;

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
