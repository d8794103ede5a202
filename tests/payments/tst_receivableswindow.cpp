// The payment form and the receivables window driven as a user would, the boxes answered from
// a script.
#include "FormFixture.h"
#include "ScriptedPrompts.h"
#include "SpreadsheetReader.h"
#include "TestMain.h"

#include "ledger/PaymentBook.h"
#include "receivables/PaymentForm.h"
#include "receivables/ReceivablesWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

namespace {

struct WindowFixture : FormFixture {
    ScriptedPrompts prompts;
    std::unique_ptr<Customers> customers;

    WindowFixture() {
        insertCustomer(db, "王经理", "0571", "文三路");
        insertCustomer(db, "李四", "138", "");
        const QDate old = QDate::currentDate().addDays(-45);
        add({"A1", old, "王经理", "螺丝", "100.10"});
        add({"A2", QDate::currentDate(), "王经理", "螺丝", "50"});
        customers = std::make_unique<Customers>(&connection);
    }
};

} // namespace

class TestReceivablesWindow : public QObject {
    Q_OBJECT
private slots:
    void paymentFormShowsTheSettlementAndSavesIt() {
        WindowFixture f;
        PaymentForm form(&f.connection, *f.customers, nullptr);
        auto* customer = form.findChild<QComboBox*>("CustomerBox");
        customer->setCurrentIndex(1); // 王经理 after 李四
        auto* amount = form.findChild<QLineEdit*>("AmountBox");
        auto* bills = form.findChild<QTableWidget*>("BillTable");
        QCOMPARE(bills->rowCount(), 2);
        amount->setText("12.345");
        form.SaveClick();
        QCOMPARE(f.prompts.texts("message"),
                 QStringList{"请填写收款金额（大于 0 的数，最多两位小数）！"});
        QCOMPARE(f.db.count("收款"), 0);

        amount->setText("120");
        QCOMPARE(bills->item(0, 6)->text(), QString("100.10"));
        QCOMPARE(bills->item(1, 6)->text(), QString("19.90"));
        // Ticked, the newer bill is settled first.
        bills->item(1, 0)->setCheckState(Qt::Checked);
        QCOMPARE(bills->item(1, 6)->text(), QString("50.00"));
        QCOMPARE(bills->item(0, 6)->text(), QString("70.00"));
        amount->setText("200");
        QCOMPARE(form.findChild<QLabel*>("SettlementSummary")->text(),
                 QString("本次核销 ¥150.10，余 ¥49.90 转为预收款。"));
        form.SaveClick();
        QCOMPARE(f.prompts.lastText(), QString("收款已保存。"));
        PaymentBook book(&f.connection, *f.customers);
        const QList<Payment> stored = book.payments(f.customers->listed().at(1));
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().amount, qint64(20000));
        QCOMPARE(stored.first().chosenBills, QStringList{"A2"});
    }

    void windowListsBalancesAndExportsThem() {
        WindowFixture f;
        PaymentBook book(&f.connection, *f.customers);
        Payment p;
        p.customer = f.customers->listed().at(1);
        p.date = QDate::currentDate();
        p.amount = 3000;
        book.add(p);
        book.setCredit(p.customer, {10000, 30});
        ReceivablesWindow window(&f.connection, *f.header, nullptr);
        window.RefreshClick();
        auto* table = window.findChild<QTableWidget*>("ReceivablesTable");
        QCOMPARE(table->rowCount(), 2); // 王经理 and the totals; 李四 has no bills
        QCOMPARE(table->item(0, 3)->text(), QString("120.10"));
        QCOMPARE(table->item(0, 6)->text(), QString("70.10")); // 31-60 days
        QCOMPARE(table->item(0, 11)->text(), QString("超额"));
        QCOMPARE(table->item(1, 0)->text(), QString("合计（1 位客户）"));

        QTemporaryDir dir;
        f.prompts.answerSave(dir.filePath("应收"));
        window.ExportClick();
        const SpreadsheetReader sheet = SpreadsheetReader::read(dir.filePath("应收.xlsx"));
        QCOMPARE(sheet.rows[0][0], QString("澄明商贸"));
        const int head = 4;
        QCOMPARE(sheet.rows[head], ReceivablesWindow::headings());
        QCOMPARE(sheet.rows[head + 1][3], QString("<float:120.1>"));
        QVERIFY(sheet.rows[head + 1][4].startsWith("<date"));
        QCOMPARE(sheet.rows.last()[0], QString("合计（1 位客户）"));
        QCOMPARE(sheet.rows.last()[1], QString("<float:150.1>"));
    }
};

DN_TEST_MAIN(TestReceivablesWindow)
#include "tst_receivableswindow.moc"
