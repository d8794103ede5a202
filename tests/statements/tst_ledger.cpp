#include "LedgerRows.h"
#include "TestMain.h"

#include "base/AppError.h"
#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/NumberText.h"
#include "ledger/BillNumbers.h"
#include "ledger/Customers.h"
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
        const BillNumberPattern pattern("yyyyMMdd-NNN");
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

        // Without a day the number runs through the month: the default pattern.
        const BillNumberPattern month(BillNumberPattern::defaultPattern());
        QCOMPARE(numbers.next(month, march), QString("2603001"));
        l.add({"2603001", QDate(2026, 3, 1), "王经理"});
        l.add({"2603007", QDate(2026, 3, 2), "王经理"});
        l.add({"2604009", QDate(2026, 4, 1), "王经理"});
        QCOMPARE(numbers.next(month, QDate(2026, 3, 31)), QString("2603008"));
        QCOMPARE(numbers.next(month, QDate(2026, 4, 2)), QString("2604010"));
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
        const StatementReader reader(&l.connection);
        const Customer wang{"王经理", "", "", false};
        const Statement s = reader.read(wang, QDate(2026, 11, 1), QDate(2026, 11, 30));
        QCOMPARE(s.bills.size(), 3);
        QCOMPARE(s.bills[0].number, QString("M9"));
        QCOMPARE(s.bills[1].number, QString("N1"));
        QCOMPARE(s.bills[2].number, QString("N2"));
        QCOMPARE(s.bills[2].items.size(), 2);
        QCOMPARE(s.bills[2].total, 3000);
        QCOMPARE(s.bills[0].items[0].quantity, std::nullopt);
        QCOMPARE(NumberText::displayTenThousandths(s.total), QString("105.3"));

        // Both ends of the period belong to it; the contact matches with ASCII case ignored.
        const Statement edge = reader.read(wang, QDate(2026, 11, 2), QDate(2026, 11, 2));
        QCOMPARE(edge.bills.size(), 1);
        QCOMPARE(reader.read({"LI", "", "", false}, QDate(2026, 11, 1), QDate(2026, 11, 30))
                     .bills.size(),
                 1);
        const Statement none = reader.read(wang, QDate(2025, 1, 1), QDate(2025, 1, 31));
        QVERIFY(none.bills.isEmpty());
        QCOMPARE(none.total, 0);
        QStringList labels;
        for (const Customer& c : reader.customers())
            labels.append(c.label());
        QCOMPARE(labels, (QStringList{"Li（客户信息中没有）", "王经理（客户信息中没有）",
                                      "王经理助理（客户信息中没有）"}));
    }

    // A customer is a row of 表2: two customers with one contact are two statements; a row
    // belongs to the one whose address, or else telephone, it carries; a contact only one
    // customer has needs nothing more; rows of no customer stay under their contact.
    void customersAreCustomerRowsNotContactNames() {
        Ledger l;
        insertCustomer(l.db, "王经理", "0571-1", "甲公司路");
        insertCustomer(l.db, "王经理", "0571-2", "乙公司路");
        insertCustomer(l.db, "李四", "138", "文三路");
        insertCustomer(l.db, "李四", "138", "文三路"); // the same customer twice
        insertCustomer(l.db, "赵六", "139", "");
        const QDate d(2026, 11, 3);
        LedgerRow a1{"A1", d, "王经理", "螺丝", "10"};
        a1.address = "甲公司路";
        a1.telephone = "";
        LedgerRow a2{"A2", d, "王经理", "螺丝", "20"};
        a2.address = "";
        a2.telephone = "0571-2";
        LedgerRow a3{"A3", d, "王经理", "螺丝", "40"};
        a3.address = "丙公司路";
        a3.telephone = "999";
        LedgerRow b1{"B1", d, "李四", "螺丝", "80"};
        b1.address = "新地址";
        LedgerRow c1{"C1", d, "孙七", "螺丝", "160"};
        for (const LedgerRow& row : {a1, a2, a3, b1, c1})
            l.add(row);

        const Customers customers(&l.connection);
        QCOMPARE(customers.listed().size(), 4);
        QCOMPARE(customers.ownerOf("王经理", "甲公司路", "").address, QString("甲公司路"));
        QCOMPARE(customers.ownerOf("王经理", "", "0571-2").address, QString("乙公司路"));
        QVERIFY(!customers.ownerOf("王经理", "丙公司路", "999").listed);
        QVERIFY(customers.ownerOf("李四", "新地址", "0").listed);
        QVERIFY(!customers.ownerOf("孙七", "文三路", "0571").listed);

        const StatementReader reader(&l.connection);
        const QList<Customer> all = reader.customers();
        QStringList labels;
        for (const Customer& c : all)
            labels.append(c.label());
        // Sorted as the other pick lists are, by character code: 乙 (U+4E59) before 甲.
        QCOMPARE(labels, (QStringList{"李四　文三路　138", "王经理　乙公司路　0571-2",
                                      "王经理　甲公司路　0571-1", "赵六　139",
                                      "孙七（客户信息中没有）", "王经理（客户信息中没有）"}));
        const auto billsOf = [&](const Customer& c) {
            QStringList numbers;
            for (const Statement::Bill& bill : reader.read(c, d, d).bills)
                numbers.append(bill.number);
            return numbers;
        };
        QCOMPARE(billsOf(all[0]), QStringList{"B1"});
        QCOMPARE(billsOf(all[1]), QStringList{"A2"});
        QCOMPARE(billsOf(all[2]), QStringList{"A1"});
        QCOMPARE(billsOf(all[3]), QStringList());
        QCOMPARE(billsOf(all[4]), QStringList{"C1"});
        QCOMPARE(billsOf(all[5]), QStringList{"A3"});

        // Every customer with bills in the period, in the pick list's order; 赵六 has none.
        QStringList batch;
        for (const Statement& s : reader.readAll(d, d))
            batch.append(s.customer.label() + ":" + NumberText::displayTenThousandths(s.total));
        QCOMPARE(batch, (QStringList{"李四　文三路　138:80", "王经理　乙公司路　0571-2:20",
                                     "王经理　甲公司路　0571-1:10", "孙七（客户信息中没有）:160",
                                     "王经理（客户信息中没有）:40"}));

        // The sales summary counts the same customers, told apart where contacts agree.
        QStringList groups;
        for (const SalesSummary::Row& row :
             SalesReader(&l.connection).read(d, d, SalesSummary::Grouping::Customer).rows)
            groups.append(row.group + ":" + NumberText::displayTenThousandths(row.amount));
        QCOMPARE(groups, (QStringList{"孙七:160", "李四:80", "王经理（客户信息中没有）:40",
                                      "王经理（乙公司路）:20", "王经理（甲公司路）:10"}));
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
        QCOMPARE(goods.rows[0].unit, QString("个"));
        QVERIFY(goods.total.counted);
        QCOMPARE(NumberText::displayTenThousandths(goods.total.quantity), QString("5.5"));
    }

    // Every month of the period has its row; quantities are never added across units.
    void emptyMonthsAndUnitsOfTheirOwn() {
        Ledger l;
        l.add({"A1", QDate(2026, 9, 30), "王经理", "螺丝", "1", "2"});
        l.add({"A2", QDate(2026, 12, 1), "王经理", "螺丝", "2", "3"});
        LedgerRow box{"A3", QDate(2026, 12, 2), "王经理", "螺丝", "40", "1"};
        box.unit = "箱";
        l.add(box);
        const SalesReader reader(&l.connection);
        const SalesSummary months =
            reader.read(QDate(2026, 9, 15), QDate(2027, 1, 10), SalesSummary::Grouping::Month);
        QStringList shown;
        for (const SalesSummary::Row& row : months.rows)
            shown.append(row.group + ":" + NumberText::displayTenThousandths(row.amount));
        QCOMPARE(shown, (QStringList{"2026年9月:1", "2026年10月:0", "2026年11月:0", "2026年12月:42",
                                     "2027年1月:0"}));
        QVERIFY(!months.total.counted);

        const SalesSummary goods =
            reader.read(QDate(2026, 9, 1), QDate(2026, 12, 31), SalesSummary::Grouping::Goods);
        QCOMPARE(goods.rows.size(), 2);
        QCOMPARE(goods.rows[0].unit, QString("箱"));
        QCOMPARE(NumberText::displayTenThousandths(goods.rows[0].quantity), QString("1"));
        QCOMPARE(goods.rows[1].unit, QString("个"));
        QCOMPARE(NumberText::displayTenThousandths(goods.rows[1].quantity), QString("5"));
        QVERIFY(!goods.total.counted);
        QCOMPARE(goods.total.quantity, 0);
        QCOMPARE(NumberText::displayTenThousandths(goods.total.amount), QString("43"));
    }
};

DN_TEST_MAIN(TestLedger)
#include "tst_ledger.moc"
