#include "RecordsFixture.h"
#include "TestMain.h"

#include "data/Dataset.h"
#include "records/DeliveryEntryPanel.h"
#include "records/LastPriceOffer.h"

#include <QAction>
#include <QDateEdit>
#include <QLineEdit>

using View = TMainForm::View;

namespace {

struct DeliveryFixture : RecordsFixture {
    void open() {
        // Each near miss stands before the exact match, so a look-up that took the first
        // matching row would copy the wrong one.
        db.exec("INSERT INTO 表1 VALUES ('10', '饭盒', '三层', '个', 46, ''), "
                "('1', '水杯', '500ml', '个', 18.5, ''), ('B\"7', '引号', '', '', 2, '')");
        db.exec("INSERT INTO 表2 VALUES ('远方', '王经理助理', '0572', '文二路', '现结'), "
                "('明远', '王经理', '0571', '文三路', '月结')");
        db.exec("INSERT INTO 表5 VALUES ('公司', 'x.com', '张明', '1')");
        start();
        chooseView(View::Deliveries);
        click("SpeedButton8");
    }
    QComboBox* combo(const QString& name) const { return find<QComboBox>(name); }
    void typeInto(const QString& comboName, const QString& text) const {
        RecordsFixture::typeInto(combo(comboName)->lineEdit(), text);
    }
};

} // namespace

class TestDeliveries : public QObject {
    Q_OBJECT
private slots:
    void opensWithTodayAndFilledPickLists() {
        DeliveryFixture f;
        f.open();
        QCOMPARE(f.find<QDateEdit>("DateTimePicker1")->date(), QDate::currentDate());
        QCOMPARE(f.find("Edit21")->text(), QString("0"));
        QCOMPARE(f.find("Edit22")->text(), QString("1"));
        QCOMPARE(f.find("Edit23")->text(), QString("0"));
        QCOMPARE(f.combo("ComboBox2")->count(), 1);
        QCOMPARE(f.combo("ComboBox3")->count(), 3);
        QCOMPARE(f.combo("ComboBox4")->itemText(0), QString("王经理"));
        QCOMPARE(f.combo("ComboBox3")->currentText(), QString());
        QVERIFY(f.find("Edit23")->isReadOnly());
    }

    void tabVisitsTheDatePickerOnceAndArrowsWalkItsSections() {
        DeliveryFixture f;
        f.open();
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        auto* picker = f.find<QDateEdit>("DateTimePicker1");
        // The name of the control holding the keyboard: a drop-down's inner box is the box.
        auto focused = [] {
            QWidget* w = QApplication::focusWidget();
            while (w && w->objectName().isEmpty())
                w = w->parentWidget();
            return w ? w->objectName() : QString();
        };
        auto tab = [](Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
        };
        f.find("Edit16")->setFocus(Qt::TabFocusReason);
        tab();
        QCOMPARE(focused(), QString("DateTimePicker1"));
        QCOMPARE(picker->currentSection(), QDateTimeEdit::YearSection);
        tab();
        QCOMPARE(focused(), QString("ComboBox4"));
        tab(Qt::ShiftModifier);
        QCOMPARE(focused(), QString("DateTimePicker1"));
        tab(Qt::ShiftModifier);
        QCOMPARE(focused(), QString("Edit16"));

        // Left and Right walk year, month and day; Up changes the section that is current.
        picker->setDate(QDate(2026, 1, 31));
        picker->setFocus(Qt::TabFocusReason);
        QTest::keyClick(picker, Qt::Key_Left);
        QCOMPARE(picker->currentSection(), QDateTimeEdit::YearSection);
        QTest::keyClick(picker, Qt::Key_Right);
        QCOMPARE(picker->currentSection(), QDateTimeEdit::MonthSection);
        QTest::keyClick(picker, Qt::Key_Right);
        QCOMPARE(picker->currentSection(), QDateTimeEdit::DaySection);
        QTest::keyClick(picker, Qt::Key_Right);
        QCOMPARE(picker->currentSection(), QDateTimeEdit::DaySection);
        QTest::keyClick(picker, Qt::Key_Left);
        QCOMPARE(picker->currentSection(), QDateTimeEdit::MonthSection);
        QCOMPARE(picker->findChild<QLineEdit*>()->selectedText(), QString("1"));
        QTest::keyClick(picker, Qt::Key_Up);
        QCOMPARE(picker->date(), QDate(2026, 2, 28));
        QCOMPARE(focused(), QString("DateTimePicker1"));
    }

    void amountFollowsTheKeys() {
        DeliveryFixture f;
        f.open();
        f.setText("Edit21", "");
        f.type("Edit21", "12.5");
        f.setText("Edit22", "");
        f.type("Edit22", "3");
        QCOMPARE(f.find("Edit23")->text(), QString("37.5"));
        f.setText("Edit21", "");
        f.type("Edit21", "0.1");
        QCOMPARE(f.find("Edit23")->text(), QString("0.3"));

        // Emptying the quantity leaves the amount; then a price key raises the message.
        QTest::keyClick(f.find("Edit22"), Qt::Key_Backspace);
        QCOMPARE(f.find("Edit23")->text(), QString("0.3"));
        QVERIFY(f.prompts.texts("error").isEmpty());
        f.type("Edit21", "5");
        QCOMPARE(f.prompts.texts("error"), QStringList{"'' is not a valid floating point value"});
        QCOMPARE(f.find("Edit23")->text(), QString("0.3"));
    }

    void addStoresTheRowAndKeepsTheBill() {
        DeliveryFixture f;
        f.open();
        f.click("Button9");
        QCOMPARE(f.prompts.lastText(), QString("单据编号不能为空！"));
        QCOMPARE(f.db.count("表3"), 0);

        f.type("Edit16", "B1");
        f.click("Button9");
        QCOMPARE(f.prompts.lastText(), QString("添加送货信息成功！"));
        const QString today = QDate::currentDate().toString("yyyy-MM-dd");
        QCOMPARE(f.db.rows("SELECT 单据编号, 业务日期, 单价, 数量, 应收金额 FROM 表3"),
                 (QList<QStringList>{{"B1", today, "0.0", "1.0", "0.0"}}));

        f.typeInto("ComboBox3", "1");
        f.typeInto("ComboBox4", "王经理");
        f.setText("Edit22", "");
        f.type("Edit22", "4");
        QCOMPARE(f.find("Edit23")->text(), QString("74"));
        f.click("Button9");
        QCOMPARE(f.db.table("表3").last(),
                 (QStringList{"B1", today, "", "1", "水杯", "500ml", "个", "18.5", "4.0", "74.0",
                              "王经理", "0571", "文三路", "月结"}));
        for (const char* box : {"Edit18", "Edit19", "Edit20"})
            QCOMPARE(f.find(box)->text(), QString());
        for (const char* box : {"Edit21", "Edit22", "Edit23"})
            QCOMPARE(f.find(box)->text(), QString("0"));
        QCOMPARE(f.combo("ComboBox3")->currentText(), QString());
        QCOMPARE(f.find("Edit16")->text(), QString("B1"));
        QCOMPARE(f.combo("ComboBox4")->currentText(), QString("王经理"));
        QCOMPARE(f.find("Edit26")->text(), QString("月结"));
        QVERIFY(f.find<QWidget>("Panel6")->isVisible());
    }

    void goodsLookUpPrefersTheExactCodeAndRecovers() {
        DeliveryFixture f;
        f.open();
        Dataset* goods = f.window().query(View::Goods);
        f.combo("ComboBox3")->setCurrentIndex(f.combo("ComboBox3")->findText("1"));
        QCOMPARE(f.find("Edit18")->text(), QString("水杯"));
        QCOMPARE(f.find("Edit21")->text(), QString("18.5"));
        QCOMPARE(f.find("Edit23")->text(), QString("18.5"));
        QCOMPARE(goods->recordCount(), 2); // the view shows the substring matches

        f.setText("Edit26", "手写");
        f.typeInto("ComboBox3", "x");
        QCOMPARE(f.find("Edit18")->text(), QString());
        QCOMPARE(f.find("Edit21")->text(), QString());
        QCOMPARE(f.prompts.texts("error").size(), 1);
        QCOMPARE(goods->recordCount(), 0);
        QTest::keyClick(f.combo("ComboBox3")->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(f.find("Edit18")->text(), QString("水杯"));
        QCOMPARE(f.prompts.texts("error").size(), 1);

        // A double quote is an ordinary character.
        f.combo("ComboBox3")->setCurrentIndex(f.combo("ComboBox3")->findText("B\"7"));
        QCOMPARE(f.find("Edit18")->text(), QString("引号"));
        QCOMPARE(f.prompts.texts("error").size(), 1);

        // The customer look-up replaces the remark typed before.
        f.combo("ComboBox4")->setCurrentIndex(0);
        QCOMPARE(f.find("Edit24")->text(), QString("0571"));
        QCOMPARE(f.find("Edit26")->text(), QString("月结"));
    }

    void lookUpsTakeTheCodeOrContactInEitherLetterCase() {
        DeliveryFixture f;
        f.db.exec("INSERT INTO 表1 VALUES ('XAB1', '别的', '', '', 1, ''), ('AB1', '扳手', '', '', "
                  "7, '')");
        f.db.exec("INSERT INTO 表2 VALUES ('', 'AnnaLee', '1', '甲地', ''), ('', 'anna', '2', "
                  "'乙地', '')");
        f.open();
        f.typeInto("ComboBox3", "ab1");
        QCOMPARE(f.find("Edit18")->text(), QString("扳手"));
        QCOMPARE(f.find("Edit21")->text(), QString("7"));
        f.typeInto("ComboBox4", "ANNA");
        QCOMPARE(f.find("Edit24")->text(), QString("2"));
        QCOMPARE(f.find("Edit25")->text(), QString("乙地"));
    }

    void failedAmountStoresNothing() {
        DeliveryFixture f;
        f.open();
        f.setText("Edit16", "B1");
        f.setText("Edit22", "");
        f.click("Button9");
        QCOMPARE(f.prompts.lastText(), QString("'' is not a valid floating point value"));
        QCOMPARE(f.window().query(View::Deliveries)->recordCount(), 0);
        f.setText("Edit22", "2");
        f.click("Button9");
        QCOMPARE(f.db.count("表3"), 1);
    }

    void modifyKeepsTheDateAndReloadsEverything() {
        DeliveryFixture f;
        f.db.exec("INSERT INTO 表3 (单据编号, 业务日期, 单价, 数量, 应收金额) VALUES "
                  "('A', '2026-01-02', 2, 3, 6), ('B', '2026-02-03', 1.005, NULL, NULL), ('C', "
                  "'2026-03-04', 1, 1, 1)");
        f.open();
        Dataset* deliveries = f.window().query(View::Deliveries);
        f.click("SpeedButton12");
        deliveries->moveTo(1);
        f.click("SpeedButton9");
        QCOMPARE(f.find<QDateEdit>("DateTimePicker1")->date(), QDate(2026, 2, 3));
        QCOMPARE(f.find("Edit21")->text(), QString("1.01"));
        QCOMPARE(f.find("Edit22")->text(), QString());
        QVERIFY(f.find<QWidget>("Button11")->isVisible());
        f.setText("Edit22", "2");
        f.click("Button11");
        QCOMPARE(f.prompts.lastText(), QString("修改送货信息成功！"));
        QCOMPARE(
            f.db.rows(
                "SELECT 单据编号, 业务日期, 单价, 数量, 应收金额 FROM 表3 WHERE 单据编号 = 'B'"),
            (QList<QStringList>{{"B", "2026-02-03", "1.01", "2.0", "2.02"}}));
        QVERIFY(!f.find<QWidget>("Panel6")->isVisible());
        for (View v : {View::Goods, View::Customers, View::Deliveries}) {
            Dataset* list = f.window().query(v);
            QCOMPARE(list->query(), Query::all(list->query().table));
            QCOMPARE(list->recNo(), list->recordCount() - 1);
        }
    }

    void searchAndAddToTheNarrowedList() {
        DeliveryFixture f;
        f.db.exec(
            "INSERT INTO 表3 (单据编号, 联系人) VALUES ('12', '王'), ('112', '李'), ('7', '王')");
        f.open();
        Dataset* deliveries = f.window().query(View::Deliveries);
        f.click("SpeedButton12");
        f.click("SpeedButton11");
        QVERIFY(f.find<QWidget>("Panel7")->isVisible());
        QVERIFY(!f.find<QWidget>("Panel6")->isVisible());
        f.setText("Edit27", "12");
        f.setText("Edit29", "王");
        f.click("Button12");
        QCOMPARE(deliveries->recordCount(), 3);
        f.setText("Edit29", "");
        f.click("Button12");
        QCOMPARE(deliveries->recordCount(), 2);

        f.click("SpeedButton8");
        f.setText("Edit16", "99");
        f.click("Button9");
        QCOMPARE(deliveries->recordCount(), 3);
        QCOMPARE(deliveries->text(2, deliveries->fieldIndex("单据编号")), QString("99"));
    }
    // The price box offers what this customer paid last for this code; only a click puts it
    // in, and the amount follows.
    void priceBoxOffersTheCustomersLastPrice() {
        DeliveryFixture f;
        f.db.exec("INSERT INTO 表3 (联系人, 商品编码, 业务日期, 单价) VALUES "
                  "('王经理', '1', '2026-03-04', 17.5), ('王经理', '1', '2026-02-03', 16), "
                  "('王经理助理', '1', '2026-05-01', 99)");
        f.open();
        auto* offer = f.find("Edit21")->findChild<QAction*>("LastPriceAction");
        QVERIFY(offer);
        QVERIFY(!offer->isVisible());
        f.typeInto("ComboBox4", "王经理");
        QTest::qWait(LastPriceOffer::kPauseMs * 2);
        QVERIFY(!offer->isVisible());
        f.find("Edit22")->setText("2");
        f.typeInto("ComboBox3", "1");
        // Offered once the typing pauses.
        QVERIFY(!offer->isVisible());
        QTRY_VERIFY(offer->isVisible());
        QCOMPARE(offer->toolTip(), QString("上次价格 ¥17.5（2026/3/4）"));
        // The goods look-up still fills the list price.
        QCOMPARE(f.find("Edit21")->text(), QString("18.5"));
        offer->trigger();
        QCOMPARE(f.find("Edit21")->text(), QString("17.5"));
        QCOMPARE(f.find("Edit23")->text(), QString("35"));

        // Another customer, or no code: nothing offered.
        f.combo("ComboBox4")->lineEdit()->clear();
        f.typeInto("ComboBox4", "明远");
        QTest::qWait(LastPriceOffer::kPauseMs * 2);
        QVERIFY(!offer->isVisible());
        f.combo("ComboBox4")->lineEdit()->clear();
        f.typeInto("ComboBox4", "王经理");
        QTRY_VERIFY(offer->isVisible());
        f.setText("Edit16", "B1");
        f.click("Button9");
        QCOMPARE(f.combo("ComboBox3")->currentText(), QString());
        QVERIFY(!offer->isVisible());
    }
};

DN_TEST_MAIN(TestDeliveries)
#include "tst_deliveries.moc"
