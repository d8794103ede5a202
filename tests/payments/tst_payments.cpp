#include "ErrorOf.h"
#include "LedgerRows.h"
#include "TestMain.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/EngineChoice.h"
#include "data/Errors.h"
#include "data/Maintenance.h"
#include "ledger/MoneyText.h"
#include "ledger/PaymentBook.h"
#include "ledger/Receivables.h"
#include "ledger/Statement.h"
#include "printing/ReceiptReport.h"
#include "printing/StatementReport.h"
#include "report/Generator.h"

namespace {

struct Book {
    TestDatabase db;
    Connection connection;
    std::unique_ptr<Customers> customers;
    std::unique_ptr<PaymentBook> book;
    Customer wang;
    Book() {
        insertCustomer(db, "王经理", "0571", "文三路");
        connection.setConnectionString(DatabaseConnection::FormConnectionString());
        connection.open();
        reload();
        wang = customers->listed().constFirst();
    }
    void reload() {
        customers = std::make_unique<Customers>(&connection);
        book = std::make_unique<PaymentBook>(&connection, *customers);
    }
    void bill(const QString& number, const QDate& date, const QString& amount) const {
        insertRow(db, {number, date, "王经理", "螺丝", amount});
    }
    Payment payment(const QDate& date, qint64 fen) const {
        Payment p;
        p.customer = wang;
        p.date = date;
        p.amount = fen;
        p.method = "现金";
        p.handler = "张明";
        return p;
    }
    // The stored settlement as "payment:bill=fen" in stored order, payments named by `names`.
    QStringList stored(const QHash<QString, QString>& names) const {
        QStringList out;
        for (const Settlement::Part& part : book->settlements(wang))
            out.append(QStringLiteral("%1:%2=%3")
                           .arg(names.value(part.payment, part.payment), part.bill)
                           .arg(part.amount));
        out.sort();
        return out;
    }
};

} // namespace

class TestPayments : public QObject {
    Q_OBJECT
private slots:
    void paymentsSettleOldestFirstAndMoveWhenOneGoes() {
        Book b;
        // Stored out of order: the oldest bill is settled first, whatever the table's order.
        b.bill("A3", QDate(2026, 2, 1), "30");
        b.bill("A1", QDate(2026, 1, 5), "100");
        b.bill("A2", QDate(2026, 1, 9), "50");
        const Payment first = b.book->add(b.payment(QDate(2026, 2, 3), 12000));
        QHash<QString, QString> names{{first.id, "P1"}};
        QCOMPARE(b.stored(names), QStringList({"P1:A1=10000", "P1:A2=2000"}));

        const Payment second = b.book->add(b.payment(QDate(2026, 2, 4), 8000));
        names.insert(second.id, "P2");
        // 30 of A2 and 30 of A3; 20 left over as prepayment.
        QCOMPARE(b.stored(names),
                 QStringList({"P1:A1=10000", "P1:A2=2000", "P2:A2=3000", "P2:A3=3000"}));
        QCOMPARE(Receivables::balanceOf(&b.connection, *b.customers, b.wang), qint64(-2000));

        b.book->remove(first);
        QCOMPARE(b.stored(names), QStringList({"P2:A1=8000"}));
        QCOMPARE(b.book->payments(b.wang).size(), 1);

        // A bill that comes later is settled by what was paid ahead.
        b.book->add(b.payment(QDate(2026, 2, 5), 10000));
        b.bill("A4", QDate(2026, 3, 1), "40");
        b.book->resettle(b.wang);
        const QList<Settlement::Part> parts = b.book->settlements(b.wang);
        QCOMPARE(Settlement::settledOn(parts, "A4"), qint64(0)); // 80 + 100 = 100 + 50 + 30
        b.book->add(b.payment(QDate(2026, 3, 2), 5000));
        QCOMPARE(Settlement::settledOn(b.book->settlements(b.wang), "A4"), qint64(4000));
    }

    void chosenBillsComeFirst() {
        Book b;
        b.bill("A1", QDate(2026, 1, 5), "100");
        b.bill("A2", QDate(2026, 1, 9), "50");
        Payment p = b.payment(QDate(2026, 2, 3), 7000);
        p.chosenBills = {"A2"};
        const QList<Settlement::Part> preview = b.book->preview(p);
        QCOMPARE(Settlement::settledOn(preview, "A2"), qint64(5000));
        QCOMPARE(Settlement::settledOn(preview, "A1"), qint64(2000));
        p = b.book->add(p);
        QCOMPARE(b.book->settlements(b.wang).size(), 2);
        QCOMPARE(b.book->payments(b.wang).constFirst().chosenBills, QStringList{"A2"});
    }

    void billTotalsThatChangeMoveTheSettlement() {
        Book b;
        b.bill("A1", QDate(2026, 1, 5), "100");
        b.bill("A2", QDate(2026, 1, 9), "50");
        b.book->add(b.payment(QDate(2026, 2, 3), 12000));
        // A1 shrinks to 60: its settlement follows, the rest goes to A2 and beyond it stays
        // prepayment.
        b.db.exec("UPDATE 表3 SET 应收金额 = 60 WHERE 单据编号 = 'A1'");
        b.book->resettle(b.wang);
        QList<Settlement::Part> parts = b.book->settlements(b.wang);
        QCOMPARE(Settlement::settledOn(parts, "A1"), qint64(6000));
        QCOMPARE(Settlement::settledOn(parts, "A2"), qint64(5000));
        QCOMPARE(Settlement::settledBy(parts, b.book->payments(b.wang).constFirst().id),
                 qint64(11000));
        b.db.exec("DELETE FROM 表3 WHERE 单据编号 = 'A2'");
        b.book->resettle(b.wang);
        parts = b.book->settlements(b.wang);
        QCOMPARE(parts.size(), 1);
        QCOMPARE(Settlement::settledOn(parts, "A2"), qint64(0));
    }

    void aPaymentChangedElsewhereIsALostRace() {
        Book b;
        b.bill("A1", QDate(2026, 1, 5), "100");
        const Payment p = b.book->add(b.payment(QDate(2026, 2, 3), 3000));
        Payment changed = p;
        changed.amount = 4000;
        b.book->modify(p, changed);
        QCOMPARE(Settlement::settledOn(b.book->settlements(b.wang), "A1"), qint64(4000));
        // `p` as first read is gone: neither a modify nor a delete of it writes anything.
        Payment again = p;
        again.amount = 9000;
        QCOMPARE(errorOf([&] { b.book->modify(p, again); }), conflictMessage());
        QCOMPARE(errorOf([&] { b.book->remove(p); }), conflictMessage());
        QCOMPARE(b.book->payments(b.wang).constFirst().amount, qint64(4000));
        QCOMPARE(Settlement::settledOn(b.book->settlements(b.wang), "A1"), qint64(4000));
        QVERIFY(!errorOf([&] { b.book->add(b.payment(QDate(), 100)); }).isEmpty());
        QVERIFY(!errorOf([&] { b.book->add(b.payment(QDate(2026, 1, 1), 0)); }).isEmpty());
    }

    void backupAndRestoreCarryTheLedger() {
        Book b;
        b.bill("A1", QDate(2026, 1, 5), "100");
        const Payment p = b.book->add(b.payment(QDate(2026, 2, 3), 3000));
        b.book->setCredit(b.wang, {50000, 45});
        const std::unique_ptr<Maintenance> maintenance = EngineChoice::maintenance(b.db.file());
        QTemporaryDir dir;
        const QString backup = dir.filePath("data.bak");
        QFile(backup).open(QIODevice::WriteOnly);
        QVERIFY(maintenance->backUp(backup, {}));
        b.book->remove(p);
        b.book->setCredit(b.wang, {std::nullopt, 0});
        QCOMPARE(b.book->payments(b.wang).size(), 0);
        maintenance->restore(backup, {&b.connection});
        b.connection.open();
        QCOMPARE(b.book->payments(b.wang), QList<Payment>{p});
        QCOMPARE(Settlement::settledOn(b.book->settlements(b.wang), "A1"), qint64(3000));
        QCOMPARE(b.book->credit(b.wang).limit, std::optional<qint64>(50000));
        QCOMPARE(b.book->credit(b.wang).termDays, 45);
    }

    void statementOfAccountAcrossAPartlyPaidBill() {
        Book b;
        b.bill("A1", QDate(2026, 1, 10), "100.10");
        // A2 has a row before the period and one inside it: the period cuts through it.
        b.bill("A2", QDate(2026, 1, 31), "20.02");
        b.bill("A2", QDate(2026, 2, 2), "30.03");
        b.bill("A3", QDate(2026, 2, 15), "10.01");
        b.bill("A4", QDate(2026, 3, 1), "99");
        b.book->add(b.payment(QDate(2026, 1, 20), 6000)); // A1 partly paid
        Payment second = b.payment(QDate(2026, 2, 10), 7007);
        second.method = "微信";
        b.book->add(second);
        b.book->add(b.payment(QDate(2026, 3, 2), 1));
        const Statement s =
            StatementReader(&b.connection).read(b.wang, QDate(2026, 2, 1), QDate(2026, 2, 28));
        QCOMPARE(s.opening, qint64(601200)); // 100.10 + 20.02 - 60.00
        QCOMPARE(s.total, qint64(400400));   // 30.03 + 10.01
        QCOMPARE(s.received, qint64(700700));
        QCOMPARE(s.closing(), qint64(300900));
        const report::RowTable rows = StatementReport::rows(s, false);
        const qsizetype balance = rows.column("余额");
        QStringList account;
        for (const QStringList& row : rows.rows)
            account.append(row[0] + " " + row[2] + " " + row[balance]);
        QCOMPARE(account,
                 (QStringList{"2026/2/1 期初余额 60.12", "2026/2/2 送货 1 项 90.15",
                              "2026/2/10 收款（微信） 20.08", "2026/2/15 送货 1 项 30.09"}));
        QCOMPARE(StatementReport::totalFigures(s), QString("30.09"));
        QCOMPARE(StatementReport::totalCapitals(s, Capitals::Style::Banking),
                 QString("叁拾元零玖分"));
        // With details the account column adds up to the closing balance.
        const report::RowTable detailed = StatementReport::rows(s, true);
        qint64 sum = 0;
        for (const QStringList& row : detailed.rows)
            if (!row[detailed.column("单据金额")].isEmpty())
                sum += MoneyText::parseFen(QString(row[detailed.column("单据金额")]).remove('-'))
                           .value() *
                       (row[detailed.column("单据金额")].startsWith('-') ? -1 : 1);
        QCOMPARE(sum, qint64(3009));
    }

    void receiptNamesTheBillsItSettledAndTheAmountInCapitals() {
        Book b;
        b.bill("A1", QDate(2026, 1, 5), "100");
        b.bill("A2", QDate(2026, 1, 9), "50");
        b.book->add(b.payment(QDate(2026, 1, 6), 4000));
        Payment p = b.book->add(b.payment(QDate(2026, 2, 3), 12345));
        const QList<Settlement::Part> parts = b.book->settlements(b.wang);
        const TableReport::Layout layout =
            ReceiptReport::layout(p, parts, Capitals::Style::Banking);
        const QList<QStringList> rows = ReceiptReport::rows(p, b.book->bills(b.wang), parts);
        QCOMPARE(rows, (QList<QStringList>{{"A1", "2026/1/5", "100.00", "60.00"},
                                           {"A2", "2026/1/9", "50.00", "50.00"}}));
        const report::Document doc =
            report::generate(*TableReport::layout(layout), TableReport::rows(layout, rows), {});
        QCOMPARE(doc.pages.size(), 1);
        QStringList texts;
        for (const report::DrawOp& op : doc.pages.first().ops)
            if (const auto* t = std::get_if<report::TextOp>(&op))
                texts.append(t->lines.join(""));
        const QString all = texts.join('|');
        QVERIFY2(all.contains("收款收据") && all.contains("收款金额：￥123.45") &&
                     all.contains("壹佰贰拾叁元肆角伍分") &&
                     all.contains("其中转为预收款：￥13.45") && all.contains("经手人：张明"),
                 qPrintable(all));
    }

    void ageingOnFixedDates() {
        Book b;
        const QDate today(2026, 6, 30);
        b.bill("A1", today.addDays(-91), "100.10"); // over 90
        b.bill("A2", today.addDays(-90), "50");     // 61-90
        b.bill("A3", today.addDays(-31), "30");     // 31-60
        b.bill("A4", today.addDays(-30), "20.05");  // 0-30
        b.bill("A5", today, "1");
        b.book->add(b.payment(today, 6000)); // A1 60 paid of 100.10
        QCOMPARE(Receivables::bucketOf(today.addDays(-60), today), 1);
        QCOMPARE(Receivables::bucketOf(today.addDays(-61), today), 2);
        b.reload();
        const QList<Receivable> all = Receivables::read(&b.connection, *b.customers, today);
        QCOMPARE(all.size(), 1);
        const Receivable& r = all.constFirst();
        QCOMPARE(r.delivered, qint64(20115));
        QCOMPARE(r.received, qint64(6000));
        QCOMPARE(r.balance, qint64(14115));
        QCOMPARE(r.ageing[3], qint64(4010));
        QCOMPARE(r.ageing[2], qint64(5000));
        QCOMPARE(r.ageing[1], qint64(3000));
        QCOMPARE(r.ageing[0], qint64(2105));
        QCOMPARE(r.oldestUnpaid, today.addDays(-91));
        QVERIFY(!r.overLimit());
        b.book->setCredit(b.wang, {14000, 30});
        const Receivable limited =
            Receivables::read(&b.connection, *b.customers, today).constFirst();
        QCOMPARE(limited.limit, std::optional<qint64>(14000));
        QCOMPARE(limited.termDays, 30);
        QVERIFY(limited.overLimit());
        // A new delivery row is counted at once, though the figures before it were kept.
        b.bill("A6", today, "10");
        const Receivable more = Receivables::read(&b.connection, *b.customers, today).constFirst();
        QCOMPARE(more.delivered, qint64(21115));
        QCOMPARE(more.ageing[0], qint64(3105));
        b.book->setCredit(b.wang, {std::nullopt, 0});
        QCOMPARE(b.book->credit(b.wang).limit, std::optional<qint64>());
    }
};

DN_TEST_MAIN(TestPayments)
#include "tst_payments.moc"
