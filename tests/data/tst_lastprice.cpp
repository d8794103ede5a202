#include "TestDatabase.h"
#include "TestMain.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/LastPrice.h"
#include "data/sqlcipher/DatabaseFile.h"

#include <QObject>
#include <QTest>

namespace {

// 联系人, 商品编码, 业务日期, 单价 of delivery rows, in the order they are entered.
void deliver(const TestDatabase& db, const QList<QStringList>& rows) {
    for (const QStringList& r : rows)
        db.exec(QString("INSERT INTO 表3 (联系人, 商品编码, 业务日期, 单价) VALUES ('%1', '%2', "
                        "'%3', %4)")
                    .arg(r[0], r[1], r[2], r[3]));
}

// "price@yyyy/M/d", or "none".
QString lastPrice(Connection& connection, const QString& contact, const QString& code) {
    const auto found = LastPrice::find(connection, contact, code);
    return found ? QString("%1@%2").arg(found->price).arg(found->date.toString("yyyy/M/d"))
                 : QString("none");
}

} // namespace

class TestLastPrice : public QObject {
    Q_OBJECT
private slots:
    // The latest business date wins, then the later row of that day; rows of other customers
    // or goods and rows without a price do not count.
    void takesTheCustomersLatestPriceForTheCode() {
        TestDatabase db;
        deliver(db, {{"王经理", "G1", "2026-03-01", "12"},
                     {"王经理", "G1", "2026-01-05", "10"},
                     {"王经理", "G1", "2026-03-01", "13.5"},
                     {"王经理", "G1", "2026-04-01", "NULL"},
                     {"王经理", "G2", "2026-06-01", "50"},
                     {"李四", "G1", "2026-05-01", "99"},
                     {"王经理", "G10", "2026-07-01", "7"},
                     {"王经理助理", "G1", "2026-07-01", "8"}});
        Connection connection;
        connection.setConnectionString(DatabaseConnection::FormConnectionString());
        QCOMPARE(lastPrice(connection, "王经理", "G1"), QString("13.5@2026/3/1"));
        QCOMPARE(lastPrice(connection, "李四", "G1"), QString("99@2026/5/1"));
        // ASCII letters in either case, as the look-ups take codes.
        QCOMPARE(lastPrice(connection, "王经理", "g1"), QString("13.5@2026/3/1"));
        QCOMPARE(lastPrice(connection, "李四", "G2"), QString("none"));
        QCOMPARE(lastPrice(connection, "张三", "G1"), QString("none"));
        QCOMPARE(lastPrice(connection, "", "G1"), QString("none"));
        QCOMPARE(lastPrice(connection, "王经理", ""), QString("none"));
        QCOMPARE(lastPrice(connection, "王经理", QString("G1") + QChar(0)), QString("none"));
        // A text the user types goes in as a value, quotes and all.
        QCOMPARE(lastPrice(connection, "王经理' OR '1'='1", "G1"), QString("none"));
    }

    // One frame even on a million rows: the engine reads the answer from the index.
    void answersFromTheIndex() {
        if (!TestDatabase::server().isEmpty())
            QSKIP("the plan is the local file's");
        TestDatabase db;
        const QList<QStringList> plan =
            db.rows("EXPLAIN QUERY PLAN " +
                    DatabaseFile::lastPriceSql().replace("?1", "'a'").replace("?2", "'b'"));
        QVERIFY(!plan.isEmpty());
        QVERIFY2(plan.first().last().contains("USING INDEX 表3_联系人_商品编码"),
                 qPrintable(plan.first().join(' ')));
        QVERIFY2(!plan.first().last().contains("TEMP B-TREE") &&
                     (plan.size() == 1 || !plan.last().last().contains("TEMP B-TREE")),
                 "the rows are sorted instead of read in the index's order");
    }
};

DN_TEST_MAIN(TestLastPrice)
#include "tst_lastprice.moc"
