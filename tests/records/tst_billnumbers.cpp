#include "RecordsFixture.h"
#include "TestMain.h"

#include "data/Dataset.h"
#include "grid/GridLook.h"
#include "ledger/BillNumberPattern.h"
#include "settings/Settings.h"
#include "settings/SettingsForm.h"
#include "statements/NumberingPage.h"
#include "statements/SalesForm.h"
#include "statements/StatementForm.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>

using View = TMainForm::View;

namespace {

struct NumberFixture : RecordsFixture {
    void open() {
        db.exec("INSERT INTO 表3 (单据编号, 业务日期, 联系人, 应收金额) VALUES "
                "('20261101-001', '2026-11-01', '王经理', 5), "
                "('K7', '2026-11-02', 'Li Ming', 5)");
        start();
        chooseView(View::Deliveries);
        click("SpeedButton8");
    }
    QAction* newNumber() const {
        auto* action = find("Edit16")->findChild<QAction*>("NewBillNumber");
        if (!action)
            qFatal("no action NewBillNumber");
        return action;
    }
    void fill(const QString& bill, const QString& contact) const {
        setText("Edit16", bill);
        find<QComboBox>("ComboBox4")->setEditText(contact);
        setText("Edit18", "新品");
    }
    static void setAsk(bool ask) { Settings::setValue("numbering/askDuplicate", ask); }
};

// The default pattern's numbers of this month start so.
QString thisMonth() {
    return QDate::currentDate().toString("yyMM");
}

} // namespace

class TestBillNumbers : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        Settings::remove("numbering/pattern");
        Settings::remove("numbering/askDuplicate");
    }

    void trailingActionFillsTheNextNumberOnlyWhenAsked() {
        NumberFixture f;
        f.open();
        QAction* action = f.newNumber();
        QCOMPARE(action->toolTip(), QString("生成新单号"));
        QVERIFY(f.find("Edit16")->actions().contains(action));
        QCOMPARE(f.find("Edit16")->text(), QString());
        action->trigger();
        QCOMPARE(f.find("Edit16")->text(), thisMonth() + "001");

        f.fill(thisMonth() + "001", "王经理");
        f.click("Button9");
        // The add keeps the number for the next item; a new one is one higher.
        action->trigger();
        QCOMPARE(f.find("Edit16")->text(), thisMonth() + "002");
        Settings::setValue("numbering/pattern", "yyyyMMdd-NNNN");
        action->trigger();
        QCOMPARE(f.find("Edit16")->text(), QDate::currentDate().toString("yyyyMMdd") + "-0001");

        // The add command still opens the panel with an empty number.
        f.click("SpeedButton8");
        QCOMPARE(f.find("Edit16")->text(), QString());
        QVERIFY(f.prompts.texts("error").isEmpty());
    }

    // A note entered late gets a number of the day in the panel's date picker.
    void newNumberTakesThePickersDay() {
        NumberFixture f;
        f.open();
        Settings::setValue("numbering/pattern", "yyyyMMdd-NNN");
        f.find<QDateEdit>("DateTimePicker1")->setDate(QDate(2026, 11, 1));
        f.newNumber()->trigger();
        QCOMPARE(f.find("Edit16")->text(), QString("20261101-002"));
        f.find<QDateEdit>("DateTimePicker1")->setDate(QDate(2025, 2, 3));
        f.newNumber()->trigger();
        QCOMPARE(f.find("Edit16")->text(), QString("20250203-001"));
    }

    // The default's numbers show whole in the list's 60-pixel column; the page says when a
    // pattern's numbers would not, and a cut number shows whole in the cell's tool tip.
    void defaultNumbersFitTheListAndLongerOnesAreFlagged() {
        // The default fits in the note's 宋体.
        QVERIFY(GridLook::fitsCell(
            BillNumberPattern(BillNumberPattern::defaultPattern()).format(QDate(2026, 12, 28), 888),
            60));
        QVERIFY(!GridLook::fitsCell("20261228-888", 60));
        NumberingPage page(60);
        page.load();
        auto* pattern = page.findChild<QComboBox*>("PatternBox");
        auto* warning = page.findChild<QLabel*>("WidthWarning");
        QCOMPARE(pattern->currentText(), QString("yyMMNNN"));
        QVERIFY(warning->isHidden());
        pattern->setEditText("yyyyMMdd-NNN");
        QVERIFY(!warning->isHidden());
        QVERIFY(warning->text().contains("显示不全"));
        pattern->setEditText("'SH'yyMMdd-NNN");
        QVERIFY(!warning->isHidden());
        QCOMPARE(page.findChild<QLabel*>("ExampleLabel")->text(),
                 "SH" + QDate::currentDate().toString("yyMMdd") + "-001");
        pattern->setEditText("yyMMNNN");
        QVERIFY(warning->isHidden());
        // Every caption of the page ends with "：", as on the other pages.
        auto* form = qobject_cast<QFormLayout*>(page.layout());
        QVERIFY(form);
        for (int row = 0; row < form->rowCount(); ++row)
            if (auto* item = form->itemAt(row, QFormLayout::LabelRole))
                if (auto* label = qobject_cast<QLabel*>(item->widget()))
                    QVERIFY2(label->text().endsWith("："), qPrintable(label->text()));
        // The hint says how to put a prefix in front.
        QStringList texts;
        for (QLabel* label : page.findChildren<QLabel*>())
            texts.append(label->text());
        QVERIFY(texts.join("").contains("'SH'yyMMdd-NNN"));
    }

    void numberOfAnotherCustomerAsksAndCancelStoresNothing() {
        NumberFixture f;
        f.open();
        f.fill("20261101-001", "李四");
        f.setText("Edit21", "3");
        f.prompts.answerConfirm(false);
        f.click("Button9");
        QCOMPARE(f.prompts.texts(),
                 QStringList{
                     "单据编号“20261101-001”已用于客户“王经理”（2026/11/1），确定加入该单据吗？"});
        QCOMPARE(f.prompts.shown().last().kind, QString("confirm"));
        QCOMPARE(f.db.count("表3"), 2);
        // The panel is as it was: nothing cleared, nothing pending.
        QCOMPARE(f.find("Edit18")->text(), QString("新品"));
        QCOMPARE(f.find("Edit21")->text(), QString("3"));
        QCOMPARE(f.find<QComboBox>("ComboBox4")->currentText(), QString("李四"));

        f.prompts.clear();
        f.prompts.answerConfirm(true);
        f.click("Button9");
        QCOMPARE(f.prompts.texts(), (QStringList{f.prompts.texts().first(), "添加送货信息成功！"}));
        QCOMPARE(f.db.count("表3"), 3);
    }

    void modifyIntoAnotherCustomersBillAsksToo() {
        NumberFixture f;
        f.open();
        Dataset* deliveries = f.window().query(View::Deliveries);
        f.click("SpeedButton12");
        // The only row of bill K7 may change its own contact without a question.
        deliveries->moveTo(1);
        f.click("SpeedButton9");
        f.find<QComboBox>("ComboBox4")->setEditText("李四");
        f.setText("Edit21", "5");
        f.setText("Edit22", "1");
        f.click("Button11");
        QCOMPARE(f.prompts.texts(), QStringList{"修改送货信息成功！"});

        // Moved into 王经理's bill, it asks; Cancel stores nothing and leaves the panel open.
        f.prompts.clear();
        deliveries->moveTo(1);
        f.click("SpeedButton9");
        f.setText("Edit16", "20261101-001");
        f.setText("Edit21", "5");
        f.setText("Edit22", "1");
        f.prompts.answerConfirm(false);
        f.click("Button11");
        QCOMPARE(f.prompts.texts(),
                 QStringList{
                     "单据编号“20261101-001”已用于客户“王经理”（2026/11/1），确定加入该单据吗？"});
        QCOMPARE(f.db.rows("SELECT 单据编号, 联系人 FROM 表3"),
                 (QList<QStringList>{{"20261101-001", "王经理"}, {"K7", "李四"}}));
        QVERIFY(f.find<QWidget>("Panel6")->isVisible());
        f.prompts.answerConfirm(true);
        f.click("Button11");
        QCOMPARE(f.prompts.lastText(), QString("修改送货信息成功！"));
        QCOMPARE(f.db.rows("SELECT 单据编号, 联系人 FROM 表3"),
                 (QList<QStringList>{{"20261101-001", "王经理"}, {"20261101-001", "李四"}}));
    }

    void sameCustomerOrNewNumberAsksNothing() {
        NumberFixture f;
        f.open();
        f.fill("20261101-001", "王经理");
        f.click("Button9");
        f.fill("k7", "li ming"); // ASCII case ignored on both
        f.click("Button9");
        f.fill("X-1", "李四");
        f.click("Button9");
        QCOMPARE(f.prompts.texts(), QStringList(3, "添加送货信息成功！"));
        QCOMPARE(f.db.count("表3"), 5);
    }

    void switchedOffStoresWithoutAsking() {
        NumberFixture f;
        f.setAsk(false);
        f.open();
        f.fill("K7", "李四");
        f.click("Button9");
        QCOMPARE(f.prompts.texts(), QStringList{"添加送货信息成功！"});
        QCOMPARE(f.db.count("表3"), 3);
    }

    void numberingPageStoresAPatternItCanUse() {
        NumberFixture f;
        f.open();
        QString example;
        QStringList refusals;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<TSettingsForm*>(QApplication::activeModalWidget());
            if (!form)
                return;
            auto* page = form->findChild<QWidget*>("NumberingPage");
            QTabWidget* tabs = form->tabs();
            tabs->setCurrentWidget(page);
            auto* pattern = page->findChild<QComboBox*>("PatternBox");
            auto* ask = page->findChild<QCheckBox*>("AskDuplicateBox");
            pattern->setEditText("yyyy");
            QTest::mouseClick(form->findChild<QPushButton*>("SettingsOk"), Qt::LeftButton);
            refusals = f.prompts.texts("error");
            pattern->setEditText("yyMMdd-NN");
            example = page->findChild<QLabel*>("ExampleLabel")->text();
            QVERIFY(ask->isChecked());
            ask->setChecked(false);
            QTest::mouseClick(form->findChild<QPushButton*>("SettingsOk"), Qt::LeftButton);
        });
        f.click("SettingsButton");
        QCOMPARE(refusals, QStringList{"单号格式须含一段连续的 N（流水号），最多 9 位。"});
        const QString day = QDate::currentDate().toString("yyMMdd");
        QCOMPARE(example, day + "-01");
        QCOMPARE(Settings::value("numbering/pattern").toString(), QString("yyMMdd-NN"));
        QCOMPARE(Settings::value("numbering/askDuplicate").toBool(), false);
        f.click("SpeedButton8");
        f.newNumber()->trigger();
        QCOMPARE(f.find("Edit16")->text(), day + "-01");
    }

    void toolbarOpensTheStatementAndTheSalesWindow() {
        NumberFixture f;
        f.open();
        const struct {
            const char* name;
            const char* caption;
            int x;
        } buttons[] = {{"StatementButton", "对账单", 811}, {"SalesButton", "销售统计", 871}};
        for (const auto& b : buttons) {
            auto* button = f.find<QToolButton>(b.name);
            QCOMPARE(button->text(), QString::fromUtf8(b.caption));
            QCOMPARE(button->geometry(),
                     QRect(b.x, f.find<QToolButton>("SpeedButton1")->y(), 60, 60));
        }
        QStringList customers;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<StatementForm*>(QApplication::activeModalWidget());
            if (!form)
                return;
            auto* box = form->findChild<QComboBox*>("CustomerBox");
            for (int i = 0; i < box->count(); ++i)
                customers.append(box->itemText(i));
            form->reject();
        });
        f.click("StatementButton");
        QCOMPARE(customers, (QStringList{"Li Ming（客户信息中没有）", "王经理（客户信息中没有）"}));

        f.click("SalesButton");
        auto* sales = f.window().findChild<SalesForm*>("SalesForm");
        QVERIFY(sales && sales->isVisible());
        QCOMPARE(sales->windowTitle(), QString("销售统计"));
        // Rows added while it is open are counted when it is asked again.
        const int before = sales->summary().total.bills;
        f.fill(thisMonth() + "001", "王经理");
        f.click("Button9");
        f.click("SalesButton");
        QCOMPARE(f.window().findChildren<SalesForm*>().size(), 1);
        QCOMPARE(sales->summary().total.bills, before + 1);
        QVERIFY(f.prompts.texts("error").isEmpty());
    }
};

DN_TEST_MAIN(TestBillNumbers)
#include "tst_billnumbers.moc"
