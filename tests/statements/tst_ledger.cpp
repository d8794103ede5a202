#include "LedgerRows.h"
#include "TestMain.h"

#include "base/AppError.h"
#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/NumberText.h"
#include "ledger/BillNumbers.h"
#include "ledger/SalesSummary.h"
#include "ledger/Statement.h"

namespace {

struct Ledger {
    TestDatabase db;
    Connection connection;
    Ledger() {
        connection.setConnectionString(DatabaseConnection::FormConnectionString());
        connection.open();
    }
    void add(const LedgerRow& row) const { insertRow(db, row); }
};

QString day(const QDate& date) {
    return date.toString("yyyyMMdd");
}

} // namespace

class TestLedger : public QObject {
    Q_OBJECT
private slots:
    void nextNumberCountsThePatternOfTheDayOnly() {
        Ledger l;
        const QDate today = QDate::currentDate();
        const BillNumbers numbers(&l.connection);
        const BillNumberPattern pattern(BillNumberPattern::defaultPattern());
        QCOMPARE(numbers.next(pattern, today), day(today) + "-001");

        l.add({day(today) + "-001", today, "王经理"});
        l.add({day(today) + "-007", today, "王经理"});
        // Not of this pattern or not of today: another width, text around the number, another
        // day, a prefix inside a longer number.
        l.add({day(today) + "-0009", today, "王经理"});
        l.add({day(today) + "-012a", today, "王经理"});
        l.add({"X" + day(today) + "-050", today, "王经理"});
        l.add({day(today.addDays(-1)) + "-030", today, "王经理"});
        QCOMPARE(numbers.next(pattern, today), day(today) + "-008");

        // Past 999 the number grows a digit and keeps counting.
        l.add({day(today) + "-999", today, "王经理"});
        QCOMPARE(numbers.next(pattern, today), day(today) + "-1000");
        l.add({day(today) + "-1000", today, "王经理"});
        QCOMPARE(numbers.next(pattern, today), day(today) + "-1001");

        // NNNN pads to four digits and sees only its own numbers.
        const QDate march(2026, 3, 4);
        const BillNumberPattern four("yyyyMMdd-NNNN");
        QCOMPARE(numbers.next(four, march), QString("20260304-0001"));
        l.add({"20260304-0009", march, "王经理"});
        l.add({"20260304-012", march, "王经理"});
        QCOMPARE(numbers.next(four, march), QString("20260304-0010"));
        QCOMPARE(numbers.next(pattern, march), QString("20260304-013"));
        QCOMPARE(numbers.next(BillNumberPattern("yyMMddNNN"), march), QString("260304001"));
    }

    void patternNeedsOneRunOfN() {
        QVERIFY(BillNumberPattern("yyyyMMdd-NNN").isValid());
        QVERIFY(BillNumberPattern("'NO.'yyyyMMdd-NN").isValid());
        QCOMPARE(BillNumberPattern("'NO.'yyyyMMdd-NN").format(QDate(2026, 1, 2), 5),
                 QString("NO.20260102-05"));
        QVERIFY(!BillNumberPattern("yyyyMMdd").isValid());
        QVERIFY(!BillNumberPattern("NN-yyyy-NN").isValid());
        QVERIFY(!BillNumberPattern("yyyyNNNNNNNNNN").isValid());
        Ledger l;
        QVERIFY_THROWS_EXCEPTION(
            AppError,
            BillNumbers(&l.connection).next(BillNumberPattern("yyyy"), QDate(2026, 1, 1)));
    }

    void otherCustomerOfABillNumber() {
        Ledger l;
        const BillNumbers numbers(&l.connection);
        QVERIFY(!numbers.otherCustomer("A1", "王经理"));
        l.add({"A1", QDate(2026, 11, 3), "王经理"});
        l.add({"A1", QDate(2026, 11, 3), "王经理"});
        QVERIFY(!numbers.otherCustomer("A1", "王经理"));
        QVERIFY(!numbers.otherCustomer("a1", "王经理"));
        l.add({"B2", QDate(2026, 11, 4), "Li Ming"});
        QVERIFY(!numbers.otherCustomer("B2", "li ming"));
        const auto other = numbers.otherCustomer("a1", "李四");
        QVERIFY(other);
        QCOMPARE(other->contact, QString("王经理"));
        QCOMPARE(other->date, QDate(2026, 11, 3));
        // A row or an entry without a contact names no customer.
        l.add({"C3", QDate(2026, 11, 5), ""});
        QVERIFY(!numbers.otherCustomer("C3", "李四"));
        QVERIFY(!numbers.otherCustomer("A1", ""));
        // A number that merely contains another is not that bill.
        QVERIFY(!numbers.otherCustomer("A", "李四"));
    }

    void statementOfOneCustomerAndPeriod() {
        Ledger l;
        l.add({"N2", QDate(2026, 11, 20), "王经理", "螺丝", "0.1"});
        l.add({"N2", QDate(2026, 11, 20), "王经理", "螺母", "0.2"});
        l.add({"N1", QDate(2026, 11, 20), "王经理", "垫片", "5"});
        l.add({"M9", QDate(2026, 11, 2), "王经理", "扳手", "100", ""});
        l.add({"M8", QDate(2026, 12, 1), "王经理", "扳手", "7"});     // outside
        l.add({"M7", QDate(2026, 11, 5), "王经理助理", "扳手", "8"}); // another customer
        l.add({"M6", QDate(2026, 11, 6), "Li", "扳手", "9"});
        const Statement s =
            StatementReader(&l.connection).read("王经理", QDate(2026, 11, 1), QDate(2026, 11, 30));
        QCOMPARE(s.bills.size(), 3);
        QCOMPARE(s.bills[0].number, QString("M9"));
        QCOMPARE(s.bills[1].number, QString("N1"));
        QCOMPARE(s.bills[2].number, QString("N2"));
        QCOMPARE(s.bills[2].items.size(), 2);
        QCOMPARE(s.bills[2].total, 3000);
        QCOMPARE(s.bills[0].items[0].quantity, std::nullopt);
        QCOMPARE(NumberText::displayTenThousandths(s.total), QString("105.3"));

        // Both ends of the period belong to it; the contact matches with ASCII case ignored.
        const Statement edge =
            StatementReader(&l.connection).read("王经理", QDate(2026, 11, 2), QDate(2026, 11, 2));
        QCOMPARE(edge.bills.size(), 1);
        QCOMPARE(StatementReader(&l.connection)
                     .read("LI", QDate(2026, 11, 1), QDate(2026, 11, 30))
                     .bills.size(),
                 1);
        const Statement none =
            StatementReader(&l.connection).read("王经理", QDate(2025, 1, 1), QDate(2025, 1, 31));
        QVERIFY(none.bills.isEmpty());
        QCOMPARE(none.total, 0);
        QCOMPARE(StatementReader(&l.connection).customers(),
                 (QStringList{"Li", "王经理", "王经理助理"}));
    }

    void salesByMonthCustomerAndGoods() {
        Ledger l;
        l.add({"A1", QDate(2026, 10, 30), "王经理", "螺丝", "0.1", "2"});
        l.add({"A1", QDate(2026, 10, 30), "王经理", "螺母", "0.2", "3", "G2"});
        l.add({"a1", QDate(2026, 10, 31), "王经理", "螺丝", "", ""});
        l.add({"B1", QDate(2026, 11, 1), "李四", "螺丝", "1.25", "0.5"});
        l.add({"C1", QDate(2026, 12, 1), "李四", "螺丝", "50", "9"}); // outside
        const SalesReader reader(&l.connection);
        const QDate from(2026, 10, 1);
        const QDate to(2026, 11, 30);
        const SalesSummary months = reader.read(from, to, SalesSummary::Grouping::Month);
        QCOMPARE(months.rows.size(), 2);
        QCOMPARE(months.rows[0].group, QString("2026年10月"));
        QCOMPARE(months.rows[0].bills, 1);
        QCOMPARE(NumberText::displayTenThousandths(months.rows[0].amount), QString("0.3"));
        QCOMPARE(months.rows[1].group, QString("2026年11月"));
        QCOMPARE(months.total.bills, 2);
        QCOMPARE(NumberText::displayTenThousandths(months.total.amount), QString("1.55"));

        const SalesSummary customers = reader.read(from, to, SalesSummary::Grouping::Customer);
        QCOMPARE(customers.rows.size(), 2);
        QCOMPARE(customers.rows[0].group, QString("李四")); // the larger amount first

        const SalesSummary goods = reader.read(from, to, SalesSummary::Grouping::Goods);
        QCOMPARE(goods.rows.size(), 2);
        QCOMPARE(goods.rows[0].group, QString("G1 螺丝"));
        QCOMPARE(NumberText::displayTenThousandths(goods.rows[0].quantity), QString("2.5"));
        QCOMPARE(goods.rows[0].bills, 2);
        QCOMPARE(NumberText::displayTenThousandths(goods.total.quantity), QString("5.5"));
    }
};

DN_TEST_MAIN(TestLedger)
#include "tst_ledger.moc"
