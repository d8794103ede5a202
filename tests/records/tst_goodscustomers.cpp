#include "RecordsFixture.h"
#include "TestMain.h"

#include "data/Dataset.h"
#include "grid/DataGrid.h"
#include "grid/GridView.h"
#include "grid/IndicatorColumn.h"
#include "profile/JbzlUnit.h"
#include "records/EntryPanel.h"
#include "records/SearchPanel.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

using View = TMainForm::View;

namespace {

// Presses the left button on a widget, moves the mouse by the given distance and releases it,
// as a user drags; what the widget leaves unhandled goes on to its parents.
void drag(QWidget* widget, const QPoint& from, const QPoint& by) {
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    const QPointF to = from + by;
    QMouseEvent move(QEvent::MouseMove, to, widget->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, to.toPoint());
}

QWidget* labelOf(QWidget* panel, const QString& caption) {
    for (QLabel* label : panel->findChildren<QLabel*>()) {
        if (label->text() == caption)
            return label;
    }
    qFatal("no label %s", qPrintable(caption));
}

} // namespace

class TestGoodsCustomers : public QObject {
    Q_OBJECT
private slots:
    void addGoodsStoresTheBoxesAndResetsThem() {
        RecordsFixture f;
        f.start();
        f.click("SpeedButton8");
        QVERIFY(f.find<QWidget>("Panel2")->isVisible());
        QCOMPARE(f.find("Edit5")->text(), QString("0"));

        f.type("Edit6", "备注一");
        f.click("Button1");
        QCOMPARE(f.prompts.lastText(), QString("商品信息添加成功！"));
        QCOMPARE(f.db.table("表1"), (QList<QStringList>{{"", "", "", "", "0.0", "备注一"}}));
        QCOMPARE(f.find("Edit6")->text(), QString());
        QCOMPARE(f.find("Edit5")->text(), QString("0"));
        QVERIFY(f.find<QWidget>("Panel2")->isVisible());

        // Price emptied: the row keeps no price at all.
        f.setText("Edit5", "");
        f.type("Edit2", "螺丝");
        f.click("Button1");
        QCOMPARE(f.db.table("表1").last()[4], QString("<null>"));

        // Nothing typed at all.
        f.setText("Edit5", "");
        f.click("Button1");
        QCOMPARE(f.prompts.lastText(), QString("商品信息不能为空！"));
        QCOMPARE(f.db.count("表1"), 2);

        // A second add empties what the first left and puts the price back to "0".
        f.setText("Edit1", "X");
        f.click("SpeedButton8");
        QCOMPARE(f.find("Edit1")->text(), QString());
        QCOMPARE(f.find("Edit5")->text(), QString("0"));
        // The new rows stand at the end of the list, the last one current.
        QCOMPARE(f.window().query(View::Goods)->recordCount(), 2);
        QCOMPARE(f.window().query(View::Goods)->recNo(), 1);
    }

    void priceBoxTakesOnlyDigitsAndOnePoint() {
        RecordsFixture f;
        f.start();
        f.click("SpeedButton8");
        f.setText("Edit5", "");
        f.type("Edit5", "1.5.");
        QCOMPARE(f.find("Edit5")->text(), QString("1.5"));
        f.find("Edit5")->selectAll();
        QTest::keyClick(f.find("Edit5"), '.');
        QCOMPARE(f.find("Edit5")->text(), QString("1.5"));
        f.type("Edit5", "a- ");
        QCOMPARE(f.find("Edit5")->text(), QString("1.5"));
        QTest::keyClick(f.find("Edit5"), Qt::Key_End);
        QTest::keyClick(f.find("Edit5"), Qt::Key_Backspace);
        QCOMPARE(f.find("Edit5")->text(), QString("1."));
        QVERIFY(!f.find("Edit5")->testAttribute(Qt::WA_InputMethodEnabled));
    }

    void pastedPriceThatIsNotANumberStoresNothing() {
        RecordsFixture f;
        f.start();
        f.click("SpeedButton8");
        f.setText("Edit1", "A1");
        f.setText("Edit5", "12元");
        f.click("Button1");
        QCOMPARE(f.prompts.lastText(),
                 QString("'12元' is not a valid floating point value for field '单价'"));
        QCOMPARE(f.db.count("表1"), 0);
        QCOMPARE(f.window().query(View::Goods)->recordCount(), 0);
        // The abandoned values do not come back with the next add.
        f.setText("Edit5", "3");
        f.setText("Edit1", "B2");
        f.click("Button1");
        QCOMPARE(f.db.table("表1"), (QList<QStringList>{{"B2", "", "", "", "3.0", ""}}));
    }

    void modifyGoodsWritesTheRowUnderTheCursor() {
        RecordsFixture f;
        f.db.exec(
            "INSERT INTO 表1 VALUES ('1', '甲', '', '', 12.5, ''), ('2', '乙', '', '', 2.456, ''), "
            "('3', '丙', '', '', NULL, '')");
        f.start();
        Dataset* goods = f.window().query(View::Goods);
        goods->moveTo(0);
        f.click("SpeedButton9");
        QCOMPARE(f.find("Edit5")->text(), QString("12.5"));
        QVERIFY(f.find<QWidget>("Button3")->isVisible());
        QVERIFY(!f.find<QWidget>("Button1")->isVisible());
        goods->moveTo(1);
        f.click("SpeedButton9");
        QCOMPARE(f.find("Edit5")->text(), QString("2.46"));
        goods->moveTo(2);
        f.click("SpeedButton9");
        QCOMPARE(f.find("Edit5")->text(), QString());

        // The values go into the row the cursor is on when "修改" is pressed.
        goods->moveTo(0);
        f.click("SpeedButton9");
        f.setText("Edit2", "改");
        goods->moveTo(1);
        f.click("Button3");
        QCOMPARE(f.prompts.lastText(), QString("修改商品信息成功！"));
        QVERIFY(!f.find<QWidget>("Panel2")->isVisible());
        QCOMPARE(
            f.db.rows("SELECT 商品编码, 商品名称, 单价 FROM 表1 ORDER BY rowid"),
            (QList<QStringList>{{"1", "甲", "12.5"}, {"1", "改", "12.5"}, {"3", "丙", "<null>"}}));
    }

    void modifyOnAnEmptyListWarns() {
        RecordsFixture f;
        f.start();
        f.prompts.answerConfirm(true);
        f.click("SpeedButton9");
        QCOMPARE(f.prompts.shown().last().kind, QString("confirm"));
        QCOMPARE(f.prompts.lastText(), QString("当前修改商品信息为空！"));
        QVERIFY(!f.find<QWidget>("Panel2")->isVisible());
    }

    void customersKeepOrClearTheirHiddenName() {
        RecordsFixture f;
        f.db.exec("INSERT INTO 表2 VALUES ('明远公司', '王', '1', '路', '')");
        f.start();
        f.chooseView(View::Customers);
        f.click("SpeedButton9");
        QCOMPARE(f.find("Edit9")->text(), QString("明远公司"));
        QVERIFY(!f.find("Edit9")->isVisible());
        f.setText("Edit11", "2");
        f.click("Button7");
        QCOMPARE(f.db.table("表2").first(), (QStringList{"明远公司", "王", "2", "路", ""}));

        f.click("SpeedButton8");
        QCOMPARE(f.find("Edit9")->text(), QString());
        f.type("Edit10", "李");
        f.click("Button5");
        QCOMPARE(f.prompts.lastText(), QString("客户信息添加成功！"));
        QCOMPARE(f.db.table("表2").last(), (QStringList{"", "李", "", "", ""}));
    }

    void searchNarrowsByOneBox() {
        RecordsFixture f;
        f.db.exec("INSERT INTO 表1 (商品编码, 商品名称) VALUES ('12', 'a'), ('112', 'b'), "
                  "('A12B', 'c'), ('3', 'd\"e')");
        f.start();
        Dataset* goods = f.window().query(View::Goods);
        f.click("SpeedButton11");
        QVERIFY(f.find<QWidget>("Panel3")->isVisible());
        f.type("Edit7", "12");
        f.type("Edit8", "a");
        f.click("Button4");
        QCOMPARE(goods->recordCount(), 4);
        f.setText("Edit8", "");
        f.click("Button4");
        QCOMPARE(goods->recordCount(), 3);
        QCOMPARE(goods->recNo(), 0);
        QVERIFY(f.find<QWidget>("Panel3")->isVisible());

        // A double quote is just a character.
        f.setText("Edit7", "");
        f.setText("Edit8", "\"");
        f.click("SpeedButton12");
        f.click("Button4");
        QCOMPARE(goods->recordCount(), 1);
        QCOMPARE(goods->text("商品编码"), QString("3"));
        QVERIFY(f.prompts.texts("error").isEmpty());

        // Nothing found: further searches do nothing until a refresh.
        f.setText("Edit8", "无");
        f.click("Button4");
        QCOMPARE(goods->recordCount(), 0);
        f.setText("Edit8", "a");
        f.click("Button4");
        QCOMPARE(goods->recordCount(), 0);
        f.click("SpeedButton12");
        QCOMPARE(goods->recordCount(), 4);
        QCOMPARE(goods->recNo(), 3);
    }

    void failedSearchLeavesTheListAsItWas() {
        RecordsFixture f;
        f.db.exec("INSERT INTO 表1 (商品编码) VALUES ('1'), ('2')");
        f.start();
        Dataset* goods = f.window().query(View::Goods);
        f.click("SpeedButton11");
        f.setText("Edit7", "1");
        f.click("Button4");
        QCOMPARE(goods->recordCount(), 1);
        // Too long for the engine as a pattern: refused, and the list still shows its row.
        f.setText("Edit7", QString(20000, QChar(0x8D27)));
        f.click("Button4");
        QCOMPARE(f.prompts.texts("error"), QStringList{"查询的文字太长，请缩短后再查询。"});
        QVERIFY(goods->isOpen());
        QCOMPARE(goods->query(), Query::like("表1", "商品编码", "1"));
        QCOMPARE(goods->recordCount(), 1);
        QCOMPARE(f.window().grid(View::Goods)->findChild<QAbstractItemView*>()->model()->rowCount(),
                 1);
    }

    void addThenSearchSwapsThePanels() {
        RecordsFixture f;
        f.start();
        f.click("SpeedButton8");
        f.click("SpeedButton11");
        f.setText("Edit7", "x");
        QVERIFY(!f.find<QWidget>("Panel2")->isVisible());
        f.click("SpeedButton11");
        QVERIFY(f.find<QWidget>("Panel3")->isVisible());
        QCOMPARE(f.find("Edit7")->text(), QString());
        QCOMPARE(f.find<QWidget>("Panel3")->pos(), QPoint(240, 160));
    }

    void onlyTheFrameDragsAPanel() {
        RecordsFixture f;
        f.start();
        f.click("SpeedButton8");
        QWidget* panel = f.find<QWidget>("Panel2");
        QCOMPARE(panel->pos(), QPoint(272, 128));
        // The picture, a label, a box: the panel stays.
        drag(f.find<QWidget>("Image9"), QPoint(100, 100), QPoint(40, 30));
        drag(labelOf(panel, "单价"), QPoint(5, 5), QPoint(40, 30));
        drag(f.find("Edit5"), QPoint(5, 5), QPoint(40, 30));
        QCOMPARE(panel->pos(), QPoint(272, 128));
        // The frame (one pixel inside the edge): it follows the mouse.
        drag(panel, QPoint(1, 60), QPoint(40, 30));
        QCOMPARE(panel->pos(), QPoint(312, 158));
        QCOMPARE(panel->cursor().shape(), Qt::SizeAllCursor);
        QTest::mouseClick(f.find<QWidget>("Image2"), Qt::LeftButton);
        QVERIFY(!panel->isVisible());
        f.click("SpeedButton8");
        QCOMPARE(panel->pos(), QPoint(272, 128));

        // The separators of the delivery panel, their ends on the frame included.
        f.chooseView(View::Deliveries);
        f.click("SpeedButton8");
        QWidget* deliveries = f.find<QWidget>("Panel6");
        QCOMPARE(deliveries->pos(), QPoint(272, 56));
        for (const char* name : {"Panel8", "Panel9"}) {
            QWidget* line = f.find<QWidget>(name);
            QCOMPARE(line->cursor().shape(), Qt::ArrowCursor);
            drag(line, QPoint(200, 1), QPoint(40, 30));
            drag(line, QPoint(0, 0), QPoint(40, 30));
        }
        QCOMPARE(deliveries->pos(), QPoint(272, 56));
        drag(deliveries, QPoint(200, 312), QPoint(-30, -20));
        QCOMPARE(deliveries->pos(), QPoint(242, 36));
    }

    void writingIntoAPickListIsRefused() {
        RecordsFixture f;
        f.db.exec("INSERT INTO 表1 (商品编码) VALUES ('1')");
        f.start();
        f.chooseView(View::Deliveries);
        f.click("SpeedButton8"); // borrows the goods list for the codes
        f.chooseView(View::Goods);
        f.click("SpeedButton8");
        f.setText("Edit1", "2");
        f.click("Button1");
        QVERIFY(f.prompts.lastText().contains("刷新"));
        QCOMPARE(f.db.count("表1"), 1);
        f.click("SpeedButton9");
        QCOMPARE(f.prompts.shown().last().kind, QString("error"));
    }

    void deleteAsksAndRemovesTheSelectedRows() {
        RecordsFixture f;
        f.db.exec("INSERT INTO 表1 (商品编码) VALUES ('1'), ('2'), ('3'), ('4'), ('5')");
        f.start();
        f.click("SpeedButton10");
        QCOMPARE(f.prompts.shown().last().kind, QString("hint"));
        QCOMPARE(f.prompts.lastText(), QString("请单击左边的序号选中一条记录或拖选一段记录，\r\n也"
                                               "可以用Ctrl及Shift来进行多选，然后再删除信息。"));
        DataGrid* grid = f.window().grid(View::Goods);
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        IndicatorColumn* indicator = grid->findChild<GridView*>()->indicator();
        for (int row : {0, 2, 3}) {
            const QPoint at(indicator->width() / 2, indicator->sectionViewportPosition(row) +
                                                        indicator->sectionSize(row) / 2);
            QTest::mouseClick(indicator->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
        }
        QCOMPARE(grid->selectedRows(), (QList<int>{0, 2, 3}));
        f.prompts.answerConfirm(false);
        f.click("SpeedButton10");
        QCOMPARE(f.prompts.lastText(), QString("确定要删除选中的记录？"));
        QCOMPARE(f.db.count("表1"), 5);
        f.prompts.answerConfirm(true);
        f.click("SpeedButton10");
        QCOMPARE(f.db.rows("SELECT 商品编码 FROM 表1"), (QList<QStringList>{{"2"}, {"5"}}));
        QVERIFY(grid->selectedRows().isEmpty());
    }

    void profileLoadsOnceAndSavesTheFirstRow() {
        RecordsFixture f;
        f.db.exec("INSERT INTO 表5 VALUES ('甲公司', 'a.com', '张', '1'), ('乙公司', 'b.com', "
                  "'李', '2')");
        f.start();
        TJbzlForm& form = f.program->profileForm();
        QLineEdit* name = form.findChild<QLineEdit*>("Edit1");
        QCOMPARE(name->text(), QString("甲公司"));

        // Cancel keeps the typed text for the next opening and writes nothing.
        QTimer::singleShot(0, &form, [&] {
            name->setText("丙公司");
            QTest::mouseClick(form.findChild<QPushButton*>("Button2"), Qt::LeftButton);
        });
        f.click("SpeedButton1");
        QCOMPARE(f.db.rows("SELECT 公司名称 FROM 表5"),
                 (QList<QStringList>{{"甲公司"}, {"乙公司"}}));
        QTimer::singleShot(0, &form, [&] {
            QCOMPARE(name->text(), QString("丙公司"));
            QTest::mouseClick(form.findChild<QPushButton*>("Button1"), Qt::LeftButton);
        });
        f.click("SpeedButton1");
        QCOMPARE(f.prompts.shown().last().owner, QString("JbzlForm"));
        QCOMPARE(f.prompts.lastText(), QString("基本资料保存成功！"));
        QCOMPARE(f.db.rows("SELECT 公司名称 FROM 表5"),
                 (QList<QStringList>{{"丙公司"}, {"乙公司"}}));
        QVERIFY(!form.isVisible());
    }

    void profileSaveWritesTheWholeRowAfterTheDeliveryPanelBorrowedItsList() {
        RecordsFixture f;
        f.db.exec("INSERT INTO 表5 VALUES ('甲公司', 'a.com', '张', '1')");
        f.start();
        f.chooseView(View::Deliveries);
        f.click("SpeedButton8"); // fills the handler list through the profile list
        TJbzlForm& form = f.program->profileForm();
        QCOMPARE(form.profileQuery()->fields().size(), 1);
        QTimer::singleShot(0, &form, [&] {
            form.findChild<QLineEdit*>("Edit1")->setText("乙公司");
            QTest::mouseClick(form.findChild<QPushButton*>("Button1"), Qt::LeftButton);
            // A failed save leaves the form open.
            if (form.isVisible())
                form.reject();
        });
        f.click("SpeedButton1");
        QCOMPARE(f.prompts.lastText(), QString("基本资料保存成功！"));
        QCOMPARE(f.db.table("表5"), (QList<QStringList>{{"乙公司", "a.com", "张", "1"}}));
        // The list is the whole profile again, on the saved row.
        QCOMPARE(form.profileQuery()->query(), Query::all("表5"));
        QCOMPARE(form.profileQuery()->text("公司名称"), QString("乙公司"));
        QVERIFY(f.prompts.texts("error").isEmpty());
    }

    void firstProfileSaveCreatesTheRow() {
        RecordsFixture f;
        f.start();
        TJbzlForm& form = f.program->profileForm();
        QCOMPARE(form.findChild<QLineEdit*>("Edit3")->text(), QString());
        form.findChild<QLineEdit*>("Edit3")->setText("张");
        form.Button1Click();
        QCOMPARE(f.db.table("表5"), (QList<QStringList>{{"", "", "张", ""}}));
    }
};

DN_TEST_MAIN(TestGoodsCustomers)
#include "tst_goodscustomers.moc"
