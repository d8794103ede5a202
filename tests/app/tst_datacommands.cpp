#include "RecordsFixture.h"
#include "SpreadsheetReader.h"
#include "TestFiles.h"
#include "TestMain.h"

#include "data/Connection.h"
#include "data/Dataset.h"
#include "data/Schema.h"
#include "platform/ProgramFolder.h"
#include "platform/UrlOpener.h"
#include "printing/Dy1Unit.h"
#include "profile/JbzlUnit.h"
#include "ui/ClickableLabel.h"

#include <QAction>
#include <QMenu>
#include <QUrl>

using View = TMainForm::View;

namespace {

// The program on a database with goods and a customer; its folder is the program folder.
struct Fixture : RecordsFixture {
    Fixture() {
        db.exec("INSERT INTO 表1 (商品编码, 商品名称, 单价) VALUES ('007', '螺丝', 1.5), "
                "('008', '垫片', 2), ('007', '螺丝 长', 3)");
        db.exec("INSERT INTO 表2 VALUES ('华东公司', '张三', '0571-88886666', '杭州', '')");
        ProgramFolder::setPathForTesting(db.folder());
        start();
    }
    ~Fixture() { ProgramFolder::setPathForTesting(QString()); }

    QList<QStringList> exportView(View view, const QString& name) {
        chooseView(view);
        prompts.answerSave(db.folder() + "/" + name);
        click("SpeedButton3");
        return SpreadsheetReader::read(db.folder() + "/" + name + ".xls").rows;
    }
};

} // namespace

class TestDataCommands : public QObject {
    Q_OBJECT
private slots:
    void exportWritesTheListTheSelectorNames() {
        Fixture f;
        // The grid hides 单位名称; the file has it.
        QCOMPARE(f.exportView(View::Customers, "客户"),
                 QList<QStringList>(
                     {Schema::columns("表2"), {"华东公司", "张三", "0571-88886666", "杭州", ""}}));
        QCOMPARE(f.prompts.lastText(), QString("成功导出全部数据!"));
        QCOMPARE(f.prompts.shown().last().owner, QString("MainForm"));

        // The delivery panel's pick lists leave the goods list one distinct column.
        f.chooseView(View::Deliveries);
        f.click("SpeedButton8");
        QCOMPARE(f.exportView(View::Goods, "编码"),
                 QList<QStringList>({{"商品编码"}, {"007"}, {"008"}}));
        QCOMPARE(f.window().query(View::Goods)->recNo(), 1);
    }

    void backupAndRestoreThroughTheToolbar() {
        Fixture f;
        QTemporaryDir target;
        f.prompts.answerSave(target.filePath("saved"));
        f.click("SpeedButton4");
        QCOMPARE(f.prompts.lastText(), QString("数据备份成功！"));
        QCOMPARE(contentsOf(target.filePath("saved.bak")), contentsOf(f.db.file()));

        f.db.exec("DELETE FROM 表1");
        QVERIFY(f.program->reportForm().reportConnection()->isOpen());
        f.prompts.answerOpen(target.filePath("saved.bak"));
        f.click("SpeedButton5");
        QCOMPARE(f.prompts.lastText(), QString("数据恢复成功！"));
        QVERIFY(!f.window().isVisible());
        QVERIFY(!f.window().mainConnection()->isOpen());
        QVERIFY(!f.program->reportForm().reportConnection()->isOpen());
        QVERIFY(!f.program->profileForm().profileQuery()->connection()->isOpen());

        // The next start shows the restored rows.
        f.start();
        QCOMPARE(f.window().query(View::Goods)->recordCount(), 3);
    }

    void helpMenuDropsBelowItsButtonWhereverTheWindowIs() {
        Fixture f;
        QMenu* menu = f.window().helpMenu();
        for (const QPoint& place : {QPoint(20, 30), QPoint(150, 110)}) {
            f.window().move(place);
            f.click("SpeedButton6");
            QVERIFY(menu->isVisible());
            const QRect frame = f.window().frameGeometry();
            QCOMPARE(menu->pos(), QPoint(frame.left() + 308, frame.top() + 90));
            menu->hide();
        }
    }

    void eachLinkHandsItsAddressToTheDesktop() {
        Fixture f;
        QList<QUrl> opened;
        UrlOpener::setOpenerForTesting([&](const QUrl& url) { opened.append(url); });
        for (const char* item : {"N2", "N3", "N4"})
            f.window().menuItem(item)->trigger();
        QTest::mouseClick(f.window().webLink(), Qt::LeftButton);
        UrlOpener::setOpenerForTesting({});
        QCOMPARE(opened,
                 QList<QUrl>({QUrl("https://www.example.com/zqques.htm"),
                              QUrl("mailto:support@example.com"), QUrl("https://www.example.com/"),
                              QUrl("https://www.example.com/")}));
        QVERIFY(f.prompts.shown().isEmpty());
    }
};

DN_TEST_MAIN(TestDataCommands)
#include "tst_datacommands.moc"
