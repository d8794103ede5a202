// The packed rows of a list: a row written straight into the store reads back as the same row
// built cell by cell, and rows moved from one store into another keep their order, keys and
// cells after the store they came from is gone.
#include "TestMain.h"

#include "data/RowStore.h"

#include <QLocale>
#include <QObject>
#include <QTest>
#include <limits>

namespace {

// A cell as a test states it: its type and what it holds, as text.
struct Expected {
    RowStore::Cell::Type type;
    QByteArray value;
};

QByteArray valueOf(const RowStore::Cell& cell) {
    switch (cell.type) {
    case RowStore::Cell::Null:
        return {};
    case RowStore::Cell::Real:
        return QByteArray::number(cell.real, 'g', QLocale::FloatingPointShortest);
    case RowStore::Cell::Integer:
        return QByteArray::number(cell.integer);
    case RowStore::Cell::Text:
        break;
    }
    return QByteArray(cell.text, cell.size);
}

QString rowDifference(const RowStore& store, int row, const QList<Expected>& cells) {
    for (int c = 0; c < cells.size(); ++c) {
        const RowStore::Cell cell = store.cell(row, c);
        if (cell.type != cells[c].type || valueOf(cell) != cells[c].value)
            return QStringLiteral("row %1 column %2: type %3 \"%4\"")
                .arg(row)
                .arg(c)
                .arg(cell.type)
                .arg(QString::fromUtf8(valueOf(cell).left(40)));
    }
    return {};
}

// Every kind of cell, and texts on both sides of the short form's limit and of the size that
// gets a block of its own.
QList<QList<Expected>> sampleRows() {
    const QByteArray chinese = QByteArray("送货单");
    return {
        {{RowStore::Cell::Null, {}},
         {RowStore::Cell::Text, {}},
         {RowStore::Cell::Real, "-2.5"},
         {RowStore::Cell::Real, "0.30000000000000004"},
         {RowStore::Cell::Integer, QByteArray::number(std::numeric_limits<qint64>::min())},
         {RowStore::Cell::Integer, QByteArray::number(std::numeric_limits<qint64>::max())}},
        {{RowStore::Cell::Text, QByteArray(127, 'a')},
         {RowStore::Cell::Text, QByteArray(128, 'b')},
         {RowStore::Cell::Text, chinese + QByteArray(1, '\0') + chinese},
         {RowStore::Cell::Null, {}}},
        {{RowStore::Cell::Text, QByteArray(300000, 'c')}, {RowStore::Cell::Real, "1e+300"}},
        {{RowStore::Cell::Integer, "7"}},
    };
}

// Adds a cell through a packer or a writer alike.
template <typename Out> void add(Out& out, const Expected& cell) {
    switch (cell.type) {
    case RowStore::Cell::Null:
        out.addNull();
        break;
    case RowStore::Cell::Real:
        out.addReal(cell.value.toDouble());
        break;
    case RowStore::Cell::Integer:
        out.addInteger(cell.value.toLongLong());
        break;
    case RowStore::Cell::Text:
        out.addText(cell.value.constData(), cell.value.size());
        break;
    }
}

void write(RowStore& store, qint64 rowid, const QList<Expected>& cells) {
    qsizetype size = 0;
    for (const Expected& cell : cells)
        size += cell.type == RowStore::Cell::Null   ? RowStore::Writer::nullSize
                : cell.type == RowStore::Cell::Text ? RowStore::Writer::textSize(cell.value.size())
                                                    : RowStore::Writer::numberSize;
    RowStore::Writer out = store.append(rowid, size);
    for (const Expected& cell : cells)
        add(out, cell);
}

} // namespace

class TestRowStore : public QObject {
    Q_OBJECT
private slots:
    void writtenRowsReadAsPackedRows() {
        const QList<QList<Expected>> rows = sampleRows();
        RowStore packed;
        RowStore written;
        written.reserve(static_cast<int>(rows.size()) * 2);
        // One packer for every row, as a load uses it; twice over, so that rows follow a large
        // one that had a block of its own.
        RowStore::Packer packer;
        for (int round = 0; round < 2; ++round) {
            for (int r = 0; r < rows.size(); ++r) {
                packer.clear();
                for (const Expected& cell : rows[r])
                    add(packer, cell);
                const qint64 rowid = round * 100 + r + 1;
                packed.append(rowid, packer);
                write(written, rowid, rows[r]);
            }
        }
        QCOMPARE(written.size(), packed.size());
        for (int r = 0; r < written.size(); ++r) {
            const QList<Expected>& cells = rows[r % rows.size()];
            QCOMPARE(written.rowid(r), packed.rowid(r));
            QCOMPARE(rowDifference(written, r, cells), QString());
            QCOMPARE(rowDifference(packed, r, cells), QString());
        }
        QCOMPARE(written.indexOfRowid(103), 6);
    }

    void movedRowsFollowInOrderAndOutliveTheirStore() {
        const QList<QList<Expected>> rows = sampleRows();
        RowStore first;
        write(first, 1, rows[0]);
        write(first, 2, rows[1]);
        const RowStore before = first;
        {
            RowStore second;
            write(second, 5, rows[2]);
            write(second, 9, rows[3]);
            first.append(std::move(second));
            QVERIFY(second.isEmpty());
        }
        // Blocks freed with the moved-from store would now hold other data.
        RowStore filler;
        for (int i = 0; i < 200; ++i)
            write(filler, i, {{RowStore::Cell::Text, QByteArray(4000, 'x')}});

        QCOMPARE(first.size(), 4);
        const QList<qint64> rowids{1, 2, 5, 9};
        for (int r = 0; r < 4; ++r) {
            QCOMPARE(first.rowid(r), rowids[r]);
            QCOMPARE(rowDifference(first, r, rows[r]), QString());
        }
        QCOMPARE(first.indexOfRowid(9), 3);
        QCOMPARE(first.indexOfRowid(4), -1);
        QVERIFY(first.version() != before.version());
        // A copy taken before keeps what it had.
        QCOMPARE(before.size(), 2);
        QCOMPARE(rowDifference(before, 1, rows[1]), QString());
    }

    void aStoreTakesRowsOfItsOwnCopy() {
        const QList<QList<Expected>> rows = sampleRows();
        RowStore store;
        write(store, 1, rows[0]);
        RowStore copy = store;
        store.append(std::move(copy));
        QCOMPARE(store.size(), 2);
        QCOMPARE(rowDifference(store, 0, rows[0]), QString());
        QCOMPARE(rowDifference(store, 1, rows[0]), QString());

        RowStore empty;
        const quint64 version = store.version();
        store.append(std::move(empty));
        QCOMPARE(store.size(), 2);
        QCOMPARE(store.version(), version);
    }
};

DN_TEST_MAIN(TestRowStore)
#include "tst_rowstore.moc"
