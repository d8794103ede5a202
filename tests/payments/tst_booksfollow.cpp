// Delivery and customer rows written through the program's panels and grids, and the books:
// each write and the settlement that follows it land in one transaction, so a failure of the
// settlement leaves the row as it was too; a customer row whose contact, telephone or address
// changes takes its payments, settlement and credit along.
#include "RecordsFixture.h"
#include "TestMain.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "grid/DataGrid.h"
#include "grid/GridView.h"
#include "grid/IndicatorColumn.h"
#include "ledger/PaymentBook.h"

using View = TMainForm::View;

namespace {

const QString kInjected = QStringLiteral("核销写入失败");

struct BooksFixture : RecordsFixture {
    Connection connection;
    Payment paid;

    BooksFixture() {
        db.exec("INSERT INTO 表2 VALUES ('明远', '王经理', '0571', '文三路', '')");
        db.exec("INSERT INTO 表3 VALUES ('B0', '2026-01-05', '', 'G', '螺丝', '', '个', 90, 1, "
                "90, '王经理', '0571', '文三路', '')");
        connection.setConnectionString(DatabaseConnection::FormConnectionString());
        connection.open();
        const Customers customers(&connection);
        PaymentBook book(&connection, customers);
        Payment p;
        p.customer = customers.listed().constFirst();
        p.date = QDate(2026, 2, 1);
        p.amount = 12000;
        p.method = QStringLiteral("现金");
        paid = book.add(p);
        book.setCredit(p.customer, {50000, 30});
        start();
    }

    // Every write of the settlement of `table` ("INSERT" or "UPDATE") fails from now on, as a
    // full disk or a dropped server would make it fail.
    void breakWrites(const char* table, const char* write) const {
        const QString what = QString::fromUtf8(write);
        const QString name = QString::fromUtf8(table);
        if (TestDatabase::server().isEmpty()) {
            db.exec(QStringLiteral("CREATE TRIGGER 失败 BEFORE %1 ON \"%2\" BEGIN SELECT "
                                   "RAISE(ABORT, '%3'); END")
                        .arg(what, name, kInjected));
            return;
        }
        db.exec(QStringLiteral("CREATE FUNCTION 失败() RETURNS trigger LANGUAGE plpgsql AS $$ "
                               "BEGIN RAISE EXCEPTION '%1'; END $$")
                    .arg(kInjected));
        db.exec(QStringLiteral("CREATE TRIGGER 失败 BEFORE %1 ON \"%2\" FOR EACH ROW EXECUTE "
                               "FUNCTION 失败()")
                    .arg(what, name));
    }
    void mendWrites(const char* table) const {
        if (TestDatabase::server().isEmpty()) {
            db.exec("DROP TRIGGER 失败");
            return;
        }
        db.exec(QStringLiteral("DROP TRIGGER 失败 ON \"%1\"").arg(QString::fromUtf8(table)));
        db.exec("DROP FUNCTION 失败()");
    }

    // The only listed customer as the customer rows now name it.
    Customer customer() { return Customers(&connection).listed().constFirst(); }

    // "bill=fen" of the stored settlement, sorted; fails the test unless it is the one the
    // rule gives for the stored bills and payments.
    QStringList settled(const Customer& who) {
        const Customers customers(&connection);
        const PaymentBook book(&connection, customers);
        QList<Settlement::Payment> payments;
        for (const Payment& p : book.payments(who))
            payments.append({p.id, p.date, p.amount, p.chosenBills});
        QStringList expected, stored;
        for (const Settlement::Part& part : Settlement::allocate(book.bills(who), payments))
            expected.append(QStringLiteral("%1=%2").arg(part.bill).arg(part.amount));
        for (const Settlement::Part& part : book.settlements(who))
            stored.append(QStringLiteral("%1=%2").arg(part.bill).arg(part.amount));
        expected.sort();
        stored.sort();
        if (stored != expected)
            qWarning("stored %s, the rule gives %s", qPrintable(stored.join(' ')),
                     qPrintable(expected.join(' ')));
        return stored == expected ? stored : QStringList{"stale"};
    }

    Dataset* rows(View view) const { return window().query(view); }
    int rowOf(View view, const QString& field, const QString& value) const {
        Dataset* list = rows(view);
        for (int row = 0; row < list->recordCount(); ++row)
            if (list->text(row, list->fieldIndex(field)) == value)
                return row;
        return -1;
    }
    // Selects one row of the view's grid by its indicator cell, as the user does.
    void select(View view, int row) const {
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        IndicatorColumn* indicator = window().grid(view)->findChild<GridView*>()->indicator();
        QTest::mouseClick(indicator->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(indicator->width() / 2, indicator->sectionViewportPosition(row) +
                                                             indicator->sectionSize(row) / 2));
    }
    void addDelivery(const QString& bill, const QString& price) {
        click("SpeedButton8");
        setText("Edit16", bill);
        typeInto(find<QComboBox>("ComboBox4")->lineEdit(), "王经理");
        setText("Edit21", price);
        setText("Edit22", "1");
        click("Button9");
    }
    void modifyDelivery(const QString& bill, const QString& price) {
        rows(View::Deliveries)->moveTo(rowOf(View::Deliveries, "单据编号", bill));
        click("SpeedButton9");
        setText("Edit21", price);
        click("Button11");
    }
    void deleteRow(View view, int row) {
        select(view, row);
        prompts.answerConfirm(true);
        click("SpeedButton10");
    }
    void modifyCustomer(const QString& box, const QString& text) {
        click("SpeedButton9");
        setText(box, text);
        click("Button7");
    }
    // What the list shows of a column, row by row.
    QStringList shown(View view, const QString& field) const {
        Dataset* list = rows(view);
        QStringList out;
        for (int row = 0; row < list->recordCount(); ++row)
            out.append(list->text(row, list->fieldIndex(field)));
        return out;
    }
    QStringList stored(const QString& table, const QString& column) const {
        QStringList out;
        for (const QStringList& row :
             db.rows(QStringLiteral("SELECT \"%1\" FROM \"%2\" ORDER BY rowid").arg(column, table)))
            out.append(row.first());
        return out;
    }
};

} // namespace

class TestBooksFollow : public QObject {
    Q_OBJECT
private slots:
    void deliveryRowsAndTheirSettlementLandTogether() {
        BooksFixture f;
        f.chooseView(View::Deliveries);
        const Customer wang = f.customer();
        QCOMPARE(f.settled(wang), QStringList({"B0=9000"}));

        // Stored with the row, before the handler even returns to the event loop.
        f.addDelivery("B1", "40");
        QCOMPARE(f.prompts.lastText(), QString("添加送货信息成功！"));
        QCOMPARE(f.settled(wang), QStringList({"B0=9000", "B1=3000"}));

        f.breakWrites("收款核销", "INSERT");
        f.prompts.clear();
        f.addDelivery("B2", "50");
        QCOMPARE(f.prompts.texts("error").size(), 1);
        QVERIFY2(f.prompts.texts("error").constFirst().contains(kInjected),
                 qPrintable(f.prompts.lastText()));
        QCOMPARE(f.stored("表3", "单据编号"), QStringList({"B0", "B1"}));
        QCOMPARE(f.shown(View::Deliveries, "单据编号"), QStringList({"B0", "B1"}));

        f.prompts.clear();
        f.modifyDelivery("B1", "10");
        QCOMPARE(f.prompts.texts("error").size(), 1);
        QCOMPARE(f.stored("表3", "应收金额"), QStringList({"90.0", "40.0"}));
        QCOMPARE(f.shown(View::Deliveries, "应收金额"), QStringList({"90", "40"}));

        f.prompts.clear();
        f.deleteRow(View::Deliveries, 0);
        QCOMPARE(f.prompts.texts("error").size(), 1);
        QCOMPARE(f.stored("表3", "单据编号"), QStringList({"B0", "B1"}));
        QCOMPARE(f.shown(View::Deliveries, "单据编号"), QStringList({"B0", "B1"}));
        QCOMPARE(f.settled(wang), QStringList({"B0=9000", "B1=3000"}));

        // Mended, the same writes land with their settlement.
        f.mendWrites("收款核销");
        f.prompts.clear();
        f.deleteRow(View::Deliveries, 0);
        QCOMPARE(f.prompts.texts("error"), QStringList());
        QCOMPARE(f.stored("表3", "单据编号"), QStringList({"B1"}));
        QCOMPARE(f.settled(wang), QStringList({"B1=4000"}));
        f.modifyDelivery("B1", "100");
        QCOMPARE(f.prompts.lastText(), QString("修改送货信息成功！"));
        QCOMPARE(f.settled(wang), QStringList({"B1=10000"}));
    }

    void anEditedCustomerKeepsItsPaymentsAndCredit() {
        BooksFixture f;
        const Customer before = f.customer();
        f.chooseView(View::Customers);
        f.modifyCustomer("Edit12", "文二路");
        QCOMPARE(f.prompts.texts("error"), QStringList());
        const Customer moved = f.customer();
        QCOMPARE(moved.address, QString("文二路"));
        const Customers customers(&f.connection);
        const PaymentBook book(&f.connection, customers);
        QCOMPARE(book.payments(moved).size(), 1);
        QCOMPARE(book.payments(moved).constFirst().id, f.paid.id);
        QCOMPARE(book.credit(moved).limit, std::optional<qint64>(50000));
        QCOMPARE(book.credit(moved).termDays, 30);
        QCOMPARE(book.payments(before).size(), 0);
        QCOMPARE(book.credit(before).limit, std::optional<qint64>());
        // The bill still belongs to it by the telephone, and stays settled.
        QCOMPARE(f.settled(moved), QStringList({"B0=9000"}));

        // A new contact: the payment follows, though the delivery rows keep the old contact's
        // name and so are no longer this customer's bills.
        f.modifyCustomer("Edit10", "王总");
        const Customer renamed = f.customer();
        QCOMPARE(PaymentBook(&f.connection, Customers(&f.connection)).payments(renamed).size(), 1);
        QCOMPARE(f.settled(renamed), QStringList());
    }

    void aFailedMoveLeavesTheCustomerRowAsItWas() {
        BooksFixture f;
        const Customer before = f.customer();
        f.breakWrites("收款", "UPDATE");
        f.chooseView(View::Customers);
        f.modifyCustomer("Edit12", "文二路");
        QCOMPARE(f.prompts.texts("error").size(), 1);
        QCOMPARE(f.stored("表2", "单位地址"), QStringList({"文三路"}));
        QCOMPARE(f.shown(View::Customers, "单位地址"), QStringList({"文三路"}));
        QCOMPARE(f.customer(), before);
        QCOMPARE(PaymentBook(&f.connection, Customers(&f.connection)).payments(before).size(), 1);
    }

    // Customer rows alike are one customer: while one of them stays, the books stay with it.
    void aTwinRowKeepsTheBooks() {
        BooksFixture f;
        f.db.exec("INSERT INTO 表2 VALUES ('明远', '王经理', '0571', '文三路', '')");
        const Customer wang = f.customer();
        f.chooseView(View::Customers);
        f.rows(View::Customers)->moveTo(1);
        f.modifyCustomer("Edit11", "0572");
        const Customers customers(&f.connection);
        QCOMPARE(customers.listed().size(), 2);
        const PaymentBook book(&f.connection, customers);
        QCOMPARE(book.payments(wang).size(), 1);
        QCOMPARE(book.credit(wang).limit, std::optional<qint64>(50000));
        // Deleting the twin that kept them: the books stay stored, though no customer row
        // names that customer now.
        f.deleteRow(View::Customers, 0);
        QCOMPARE(f.db.count("表2"), 1);
        QCOMPARE(f.db.count("收款"), 1);
    }
};

DN_TEST_MAIN(TestBooksFollow)
#include "tst_booksfollow.moc"
