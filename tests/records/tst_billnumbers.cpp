#include "RecordsFixture.h"
#include "TestMain.h"

#include <QAction>
#include <QDateEdit>

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
    static void setAsk(bool ask) {
        QSettings(QSettings::IniFormat, QSettings::UserScope, "qorvel")
            .setValue("numbering/askDuplicate", ask);
    }
};

QString today() {
    return QDate::currentDate().toString("yyyyMMdd");
}

} // namespace

class TestBillNumbers : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QSettings(QSettings::IniFormat, QSettings::UserScope, "qorvel").clear(); }

    void trailingActionFillsTheNextNumberOnlyWhenAsked() {
        NumberFixture f;
        f.open();
        QAction* action = f.newNumber();
        QCOMPARE(action->toolTip(), QString("生成新单号"));
        QVERIFY(f.find("Edit16")->actions().contains(action));
        QCOMPARE(f.find("Edit16")->text(), QString());
        action->trigger();
        QCOMPARE(f.find("Edit16")->text(), today() + "-001");

        f.fill(today() + "-001", "王经理");
        f.click("Button9");
        // The add keeps the number for the next item; a new one is one higher.
        action->trigger();
        QCOMPARE(f.find("Edit16")->text(), today() + "-002");
        QSettings(QSettings::IniFormat, QSettings::UserScope, "qorvel")
            .setValue("numbering/pattern", "yyyyMMdd-NNNN");
        action->trigger();
        QCOMPARE(f.find("Edit16")->text(), today() + "-0001");

        // The add command still opens the panel with an empty number.
        f.click("SpeedButton8");
        QCOMPARE(f.find("Edit16")->text(), QString());
        QVERIFY(f.prompts.texts("error").isEmpty());
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
};

DN_TEST_MAIN(TestBillNumbers)
#include "tst_billnumbers.moc"
