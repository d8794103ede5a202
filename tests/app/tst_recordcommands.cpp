#include "RecordsFixture.h"
#include "TestMain.h"

#include "data/Dataset.h"
#include "grid/DataGrid.h"
#include "grid/GridView.h"
#include "grid/IndicatorColumn.h"

#include <QAction>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using View = TMainForm::View;

namespace {

// The program on a database with two goods, a customer and a delivery row.
struct CommandsFixture : RecordsFixture {
    CommandsFixture() {
        db.exec("INSERT INTO 表1 VALUES ('G1', '水杯', '', '个', 12.5, ''), "
                "('G2', '饭盒', '', '个', 3, '')");
        db.exec("INSERT INTO 表2 VALUES ('明远', '王', '0571', '文三路', '')");
        db.exec("INSERT INTO 表3 (单据编号, 单价, 数量, 应收金额) VALUES ('B1', 2, 3, 6)");
        start();
    }
    // A command bar button is clicked, a record-menu item triggered.
    void run(const QString& command) const {
        if (command.startsWith('N'))
            window().menuItem(command)->trigger();
        else
            click(command);
    }
    bool shown(const QString& panel) const { return find<QWidget>(panel)->isVisible(); }
    QPoint place(const QString& panel) const { return find<QWidget>(panel)->pos(); }
};

void addTwins() {
    QTest::addColumn<QString>("command");
    QTest::newRow("button") << "SpeedButton8";
    QTest::newRow("menu") << "N7";
}

} // namespace

// Each command runs from its command bar button and from its record-menu twin alike.
class TestRecordCommands : public QObject {
    Q_OBJECT
private slots:
    void addShowsTheViewsEntryPanelEmptied_data() { addTwins(); }
    void addShowsTheViewsEntryPanelEmptied() {
        QFETCH(QString, command);
        CommandsFixture f;
        f.click("SpeedButton11");
        f.setText("Edit1", "X");
        f.run(command);
        QVERIFY(f.shown("Panel2"));
        QVERIFY(!f.shown("Panel3"));
        QCOMPARE(f.place("Panel2"), QPoint(272, 128));
        QVERIFY(f.shown("Button1"));
        QVERIFY(!f.shown("Button3"));
        QCOMPARE(f.find("Edit1")->text(), QString());
        QCOMPARE(f.find("Edit5")->text(), QString("0"));

        f.chooseView(View::Customers);
        f.click("SpeedButton11");
        f.run(command);
        QVERIFY(f.shown("Panel4"));
        QVERIFY(!f.shown("Panel5"));
        QCOMPARE(f.place("Panel4"), QPoint(272, 120));
        QVERIFY(f.shown("Button5"));

        f.chooseView(View::Deliveries);
        f.click("SpeedButton11");
        f.run(command);
        QVERIFY(f.shown("Panel6"));
        QVERIFY(!f.shown("Panel7"));
        QCOMPARE(f.place("Panel6"), QPoint(272, 56));
        QVERIFY(f.shown("Button9"));
        QCOMPARE(f.find("Edit22")->text(), QString("1"));
        QCOMPARE(f.find<QComboBox>("ComboBox3")->count(), 2);
    }

    void modifyFillsTheEntryPanelFromTheCurrentRow_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("button") << "SpeedButton9";
        QTest::newRow("menu") << "N8";
    }
    void modifyFillsTheEntryPanelFromTheCurrentRow() {
        QFETCH(QString, command);
        CommandsFixture f;
        f.window().query(View::Goods)->moveTo(0);
        f.run(command);
        QVERIFY(f.shown("Panel2"));
        QCOMPARE(f.place("Panel2"), QPoint(272, 128));
        QVERIFY(f.shown("Button3"));
        QVERIFY(!f.shown("Button1"));
        QCOMPARE(f.find("Edit2")->text(), QString("水杯"));
        QCOMPARE(f.find("Edit5")->text(), QString("12.5"));

        f.chooseView(View::Customers);
        f.run(command);
        QCOMPARE(f.place("Panel4"), QPoint(272, 120));
        QVERIFY(f.shown("Button7"));
        QCOMPARE(f.find("Edit9")->text(), QString("明远"));

        f.chooseView(View::Deliveries);
        f.run(command);
        QCOMPARE(f.place("Panel6"), QPoint(272, 56));
        QVERIFY(f.shown("Button11"));
        QCOMPARE(f.find("Edit16")->text(), QString("B1"));
        QCOMPARE(f.find("Edit23")->text(), QString("6"));
        QVERIFY(f.prompts.shown().isEmpty());
    }

    void modifyOnAnEmptyListWarnsAndShowsNothing_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("warning");
        QTest::newRow("customers") << 1 << "表2"
                                   << "Panel4"
                                   << "当前修改客户信息为空！";
        QTest::newRow("deliveries") << 2 << "表3"
                                    << "Panel6"
                                    << "当前修改送货信息为空！";
    }
    void modifyOnAnEmptyListWarnsAndShowsNothing() {
        QFETCH(int, view);
        QFETCH(QString, table);
        QFETCH(QString, panel);
        QFETCH(QString, warning);
        CommandsFixture f;
        f.db.exec("DELETE FROM " + table);
        f.click("SpeedButton12");
        f.chooseView(static_cast<View>(view));
        for (bool ok : {true, false}) {
            f.prompts.answerConfirm(ok);
            f.click("SpeedButton9");
            QVERIFY(!f.find<QWidget>(panel)->isVisible());
        }
        QCOMPARE(f.prompts.texts("confirm"), QStringList({warning, warning}));
        QCOMPARE(f.prompts.shown().size(), 2);
        QCOMPARE(f.prompts.shown().last().owner, QString("MainForm"));
    }

    // A number column holding a text that is no number cannot be tidied into its box: the
    // error box shows and the panel stays hidden.
    void modifyOfAPriceThatIsNoNumberShowsTheErrorAndNoPanel_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("panel");
        QTest::newRow("goods") << 0 << "UPDATE 表1 SET 单价 = '12元' WHERE 商品编码 = 'G1'"
                               << "Panel2";
        QTest::newRow("deliveries") << 2 << "UPDATE 表3 SET 单价 = '12元'"
                                    << "Panel6";
    }
    void modifyOfAPriceThatIsNoNumberShowsTheErrorAndNoPanel() {
        QFETCH(int, view);
        QFETCH(QString, setUp);
        QFETCH(QString, panel);
        CommandsFixture f;
        f.db.exec(setUp);
        f.click("SpeedButton12");
        f.chooseView(static_cast<View>(view));
        f.window().query(static_cast<View>(view))->moveTo(0);
        f.click("SpeedButton9");
        QCOMPARE(f.prompts.texts("error"),
                 QStringList{"'12元' is not a valid floating point value"});
        QVERIFY(!f.find<QWidget>(panel)->isVisible());
    }

    void deleteAsksAndRemovesTheSelectedRows_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("button") << "SpeedButton10";
        QTest::newRow("menu") << "N9";
    }
    void deleteAsksAndRemovesTheSelectedRows() {
        QFETCH(QString, command);
        CommandsFixture f;
        f.run(command);
        QCOMPARE(f.prompts.texts("hint").size(), 1);
        QCOMPARE(f.db.count("表1"), 2);
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        IndicatorColumn* indicator =
            f.window().grid(View::Goods)->findChild<GridView*>()->indicator();
        for (int row : {0, 1}) {
            const QPoint at(indicator->width() / 2, indicator->sectionViewportPosition(row) +
                                                        indicator->sectionSize(row) / 2);
            QTest::mouseClick(indicator->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
        }
        QCOMPARE(f.window().grid(View::Goods)->selectedRows(), (QList<int>{0, 1}));
        f.prompts.answerConfirm(true);
        f.run(command);
        QCOMPARE(f.prompts.texts("confirm"), QStringList{"确定要删除选中的记录？"});
        QVERIFY(f.prompts.shown().last().cancelByDefault);
        QCOMPARE(f.db.count("表1"), 0);
    }

    // The real question: OK and Cancel with the warning icon, Cancel the default, so a stray
    // Return keeps the rows; OK clicked deletes them.
    void deleteQuestionDefaultsToCancel() {
        CommandsFixture f;
        Prompts::install(nullptr); // the standard boxes, answered below as a user would
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        IndicatorColumn* indicator =
            f.window().grid(View::Goods)->findChild<GridView*>()->indicator();
        const QPoint first(indicator->width() / 2,
                           indicator->sectionViewportPosition(0) + indicator->sectionSize(0) / 2);
        QTest::mouseClick(indicator->viewport(), Qt::LeftButton, Qt::NoModifier, first);
        QString text;
        QString defaultButton;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        const auto answer = [&](bool clickOk) {
            QTimer::singleShot(0, [&, clickOk] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box)
                    return;
                text = box->text();
                icon = box->icon();
                defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
                if (clickOk)
                    box->button(QMessageBox::Ok)->click();
                else
                    QTest::keyClick(box, Qt::Key_Return);
            });
        };
        answer(false);
        f.click("SpeedButton10");
        QCOMPARE(text, QString("确定要删除选中的记录？"));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(defaultButton, QString("取消"));
        QCOMPARE(f.db.count("表1"), 2);
        answer(true);
        f.click("SpeedButton10");
        QCOMPARE(f.db.count("表1"), 1);
    }

    void searchShowsTheViewsSearchPanelEmptied_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("button") << "SpeedButton11";
        QTest::newRow("menu") << "N11";
    }
    void searchShowsTheViewsSearchPanelEmptied() {
        QFETCH(QString, command);
        CommandsFixture f;
        const struct {
            View view;
            const char* search;
            const char* entry;
            const char* box;
        } views[] = {{View::Goods, "Panel3", "Panel2", "Edit7"},
                     {View::Customers, "Panel5", "Panel4", "Edit14"},
                     {View::Deliveries, "Panel7", "Panel6", "Edit27"}};
        for (const auto& v : views) {
            f.chooseView(v.view);
            f.click("SpeedButton8");
            f.setText(v.box, "x");
            f.run(command);
            QVERIFY(f.shown(v.search));
            QVERIFY(!f.shown(v.entry));
            QCOMPARE(f.place(v.search), QPoint(240, 160));
            QCOMPARE(f.find(v.box)->text(), QString());
        }
    }

    void refreshReloadsEveryList_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("button") << "SpeedButton12";
        QTest::newRow("menu") << "N12";
    }
    void refreshReloadsEveryList() {
        QFETCH(QString, command);
        CommandsFixture f;
        f.click("SpeedButton11");
        f.setText("Edit7", "G2");
        f.click("Button4");
        Dataset* goods = f.window().query(View::Goods);
        QCOMPARE(goods->recordCount(), 1);
        f.db.exec("INSERT INTO 表2 (联系人) VALUES ('李')");
        f.run(command);
        QCOMPARE(goods->recordCount(), 2);
        QCOMPARE(goods->recNo(), 1);
        QCOMPARE(f.window().query(View::Customers)->recordCount(), 2);
        QVERIFY(f.shown("Panel3"));
    }
};

DN_TEST_MAIN(TestRecordCommands)
#include "tst_recordcommands.moc"
