// The delivery panel and the books: the credit question before 添加, and payments settled
// again when delivery rows change under them.
#include "RecordsFixture.h"
#include "TestMain.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "grid/DataGrid.h"
#include "grid/GridView.h"
#include "grid/IndicatorColumn.h"
#include "ledger/PaymentBook.h"
#include "settings/Settings.h"

using View = TMainForm::View;

namespace {

const QString kQuestion =
    QStringLiteral("客户“王经理”的欠款将达到 ¥105.00，超过信用额度 ¥100.00，确定继续送货吗？");

struct CreditFixture : RecordsFixture {
    Connection connection;
    std::unique_ptr<Customers> customers;
    std::unique_ptr<PaymentBook> book;

    CreditFixture() {
        Settings::remove("receivables/askCreditLimit");
        db.exec("INSERT INTO 表2 VALUES ('明远', '王经理', '0571', '文三路', '')");
        db.exec("INSERT INTO 表3 VALUES ('B0', '2026-01-05', '', 'G', '螺丝', '', '个', 90, 1, "
                "90, '王经理', '0571', '文三路', '')");
        connection.setConnectionString(DatabaseConnection::FormConnectionString());
        connection.open();
        customers = std::make_unique<Customers>(&connection);
        book = std::make_unique<PaymentBook>(&connection, *customers);
        book->setCredit(wang(), {10000, 30});
        start();
        chooseView(View::Deliveries);
        click("SpeedButton8");
        type("Edit16", "B1");
        typeInto(find<QComboBox>("ComboBox4")->lineEdit(), "王经理");
    }
    Customer wang() const { return customers->listed().constFirst(); }
    void addRow(const QString& price) {
        setText("Edit21", price);
        setText("Edit22", "1");
        click("Button9");
    }
};

} // namespace

class TestCreditQuestion : public QObject {
    Q_OBJECT
private slots:
    void askedOnlyWhenTheRowCrossesTheLimit() {
        CreditFixture f;
        f.addRow("5"); // 95: within the limit
        QCOMPARE(f.prompts.texts("confirm"), QStringList());
        QCOMPARE(f.db.count("表3"), 2);

        f.prompts.answerConfirm(false);
        f.addRow("10"); // 105: over it
        QCOMPARE(f.prompts.texts("confirm"), QStringList{kQuestion});
        QCOMPARE(f.db.count("表3"), 2);

        f.prompts.clear();
        f.prompts.answerConfirm(true);
        f.addRow("10");
        QCOMPARE(f.prompts.texts("confirm"), QStringList{kQuestion});
        QCOMPARE(f.db.count("表3"), 3);

        // Already over: the next row does not cross it again.
        f.prompts.clear();
        f.addRow("1");
        QCOMPARE(f.prompts.texts("confirm"), QStringList());
        QCOMPARE(f.db.count("表3"), 4);
    }

    void theSwitchTurnsTheQuestionOff() {
        CreditFixture f;
        Settings::setValue("receivables/askCreditLimit", false);
        f.addRow("50");
        QCOMPARE(f.prompts.texts("confirm"), QStringList());
        QCOMPARE(f.db.count("表3"), 2);
        Settings::remove("receivables/askCreditLimit");
    }

    void changedAndDeletedRowsMoveTheSettlement() {
        CreditFixture f;
        f.prompts.answerConfirm(true);
        f.addRow("40"); // B1: 40, over the limit
        const Payment paid = f.book->add([&] {
            Payment p;
            p.customer = f.wang();
            p.date = QDate(2026, 2, 1);
            p.amount = 12000; // 90 of B0, 30 of B1
            return p;
        }());
        QCOMPARE(Settlement::settledOn(f.book->settlements(f.wang()), "B1"), qint64(3000));

        // B0 deleted through the list: what settled it moves to B1, the rest is prepayment.
        Dataset* rows = f.window().query(View::Deliveries);
        f.program->mainForm().databaseConnection().ReopenAll();
        rows->moveTo(0);
        QCOMPARE(rows->text("单据编号"), QString("B0"));
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        IndicatorColumn* indicator =
            f.window().grid(View::Deliveries)->findChild<GridView*>()->indicator();
        QTest::mouseClick(indicator->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(indicator->width() / 2, indicator->sectionViewportPosition(0) +
                                                             indicator->sectionSize(0) / 2));
        f.prompts.answerConfirm(true);
        f.click("SpeedButton10");
        QCoreApplication::processEvents();
        QList<Settlement::Part> parts = f.book->settlements(f.wang());
        QCOMPARE(Settlement::settledOn(parts, "B0"), qint64(0));
        QCOMPARE(Settlement::settledOn(parts, "B1"), qint64(4000));
        QCOMPARE(Settlement::settledBy(parts, paid.id), qint64(4000));
    }
};

DN_TEST_MAIN(TestCreditQuestion)
#include "tst_creditquestion.moc"
