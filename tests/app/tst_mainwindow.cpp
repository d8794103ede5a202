#include "LastViewStore.h"
#include "ScriptedPrompts.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include "app/MainUnit.h"
#include "app/Program.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "grid/DataGrid.h"
#include "platform/DesktopLauncher.h"
#include "printing/QRPrev.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

namespace {

void storeCode(const QVariant& code) {
    const std::unique_ptr<QSettings> s = lastViewStore();
    if (code.isNull())
        s->remove("data");
    else
        s->setValue("data", code);
    s->sync();
}

QVariant storedCode() {
    return lastViewStore()->value("data");
}

// Opens the selector's list and picks an item with the keyboard, as a user does.
void pickFromList(QComboBox* box, int index) {
    box->showPopup();
    QAbstractItemView* list = box->view();
    QTRY_VERIFY(list->isVisible());
    list->setCurrentIndex(list->model()->index(index, 0));
    QTest::keyClick(list, Qt::Key_Return);
}

QList<TQRStandardPreview*> visiblePreviews() {
    QList<TQRStandardPreview*> previews;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* preview = qobject_cast<TQRStandardPreview*>(w); preview && preview->isVisible())
            previews.append(preview);
    }
    return previews;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void restoresTheStoredView_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("selector");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("printItem");
        QTest::newRow("goods") << QVariant("1") << "商品信息" << 0 << false;
        QTest::newRow("customers") << QVariant("2") << "客户信息" << 1 << false;
        QTest::newRow("deliveries") << QVariant("3") << "送货信息" << 2 << true;
        QTest::newRow("four") << QVariant("4") << "商品信息" << 0 << false;
        QTest::newRow("letters") << QVariant("abc") << "商品信息" << 0 << false;
        QTest::newRow("empty") << QVariant("") << "商品信息" << 0 << false;
        QTest::newRow("nothing stored") << QVariant() << "商品信息" << 0 << false;
    }
    void restoresTheStoredView() {
        QFETCH(QVariant, stored);
        QFETCH(QString, selector);
        QFETCH(int, page);
        QFETCH(bool, printItem);
        TestDatabase db;
        ScriptedPrompts prompts;
        storeCode(stored);
        Program program;
        TMainForm& w = program.mainForm();
        QCOMPARE(w.viewSelector()->currentText(), selector);
        QCOMPARE(w.findChild<QTabWidget*>("PageControl1")->currentIndex(), page);
        QCOMPARE(w.menuItem("N5")->isVisible(), printItem);
        QCOMPARE(w.menuItem("N6")->isVisible(), printItem);
        QCOMPARE(storedCode(), stored);
        // The keyboard starts in that view's grid.
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(QApplication::focusWidget());
        QVERIFY(w.grid(*w.currentView())->isAncestorOf(QApplication::focusWidget()));
        QVERIFY(prompts.shown().isEmpty());
    }

    void selectorAndTabsMirrorEachOtherAndStoreEveryChange() {
        TestDatabase db;
        ScriptedPrompts prompts;
        storeCode(QVariant());
        Program program;
        TMainForm& w = program.mainForm();
        auto* tabs = w.findChild<QTabWidget*>("PageControl1");

        w.viewSelector()->setCurrentIndex(2);
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(storedCode().toString(), QString("3"));
        QVERIFY(w.menuItem("N5")->isVisible());

        tabs->setCurrentIndex(1);
        QCOMPARE(w.viewSelector()->currentText(), QString("客户信息"));
        QCOMPARE(storedCode().toString(), QString("2"));
        QVERIFY(!w.menuItem("N5")->isVisible());

        // The usage notes change nothing.
        tabs->setCurrentIndex(3);
        QCOMPARE(w.viewSelector()->currentText(), QString("客户信息"));
        QCOMPARE(storedCode().toString(), QString("2"));
        QCOMPARE(*w.currentView(), TMainForm::View::Customers);

        // Back from the usage notes: a view change, stored.
        storeCode("x");
        tabs->setCurrentIndex(1);
        QCOMPARE(storedCode().toString(), QString("2"));

        // Typed text switches only when it names a view.
        w.viewSelector()->setEditText("商品");
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(!w.currentView());
        w.viewSelector()->setEditText("商品信息");
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(storedCode().toString(), QString("1"));
        QVERIFY(prompts.shown().isEmpty());
    }

    void pickingAViewFromTheListStoresItEveryTime() {
        TestDatabase db;
        ScriptedPrompts prompts;
        storeCode(QVariant());
        Program program;
        TMainForm& w = program.mainForm();
        w.show();
        auto* tabs = w.findChild<QTabWidget*>("PageControl1");
        auto* selector = qobject_cast<ViewSelector*>(w.viewSelector());
        QVERIFY(selector);
        QSignalSpy choices(selector, &ViewSelector::changed);

        // Another view: one choice, although both the text and the pick report it.
        pickFromList(selector, 2);
        QCOMPARE(choices.size(), 1);
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(storedCode().toString(), QString("3"));
        QVERIFY(w.menuItem("N5")->isVisible());

        // The view that is already current, picked again, is written again.
        storeCode(QVariant());
        pickFromList(selector, 2);
        QCOMPARE(choices.size(), 2);
        QCOMPARE(storedCode().toString(), QString("3"));
        QCOMPARE(tabs->currentIndex(), 2);

        // Also right after the program changed the text.
        selector->setCurrentIndex(0);
        selector->setCurrentIndex(2);
        QCOMPARE(choices.size(), 4);
        storeCode(QVariant());
        pickFromList(selector, 2);
        QCOMPARE(choices.size(), 5);
        QCOMPARE(storedCode().toString(), QString("3"));

        // The arrow keys and the wheel choose an item too, also one whose text the box already
        // shows (here typed there before). (Windows' box makes the typed item its current one,
        // so there the keys move on from it.)
#ifndef Q_OS_WIN
        selector->setCurrentIndex(0);
        selector->setEditText("客户信息");
        QCOMPARE(storedCode().toString(), QString("2"));
        storeCode(QVariant());
        QTest::keyClick(selector, Qt::Key_Down);
        QCOMPARE(selector->currentIndex(), 1);
        QCOMPARE(storedCode().toString(), QString("2"));
        selector->setCurrentIndex(2);
        selector->setEditText("客户信息");
        storeCode(QVariant());
        const QPoint middle = selector->rect().center();
        QWheelEvent wheel(middle, selector->mapToGlobal(middle), {}, {0, 120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(selector, &wheel);
        QCOMPARE(selector->currentIndex(), 1);
        QCOMPARE(storedCode().toString(), QString("2"));
#else
        selector->setEditText("客户信息");
        QCOMPARE(tabs->currentIndex(), 1);
#endif
        choices.clear();

        // Each typed key is one change.
        selector->lineEdit()->selectAll();
        QTest::keyClicks(selector, "ab");
        QCOMPARE(selector->currentText(), QString("ab"));
        QCOMPARE(choices.size(), 2);
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(prompts.shown().isEmpty());
    }

    void usageNotesHoldTheirTenLines() {
        TestDatabase db;
        ScriptedPrompts prompts;
        Program program;
        auto* memo = program.mainForm().findChild<QPlainTextEdit*>("Memo1");
        QVERIFY(memo->isReadOnly());
        QCOMPARE(memo->toPlainText().split('\n'),
                 QStringList({
                     "  1.商品信息和客户信息需要先添加才能在送货信息里显示出来。",
                     "  2.在送货信息里录入的商品信息和客户信息不保存到商品信息和客户信息里。",
                     "  3.打印单据时需要选中要打印信息的任意一行，列表中就会自动选中要打印的客户"
                     "信息和客户采购商",
                     "品的所有信息。",
                     "  4.要显示全部信息点击“刷新信息”即可。",
                     "  5.修改信息时商品信息和送货信息可以选中要修改的记录点击“修改信息”就可以了"
                     "。而修改送货信",
                     "息需要在最左面序号上点击要修改的记录然后再点击“修改信息”就可以了。若修改后"
                     "需要马上打印单",
                     "据的需要在列表的记录上点击一下，再进行打印单据。",
                     "  6.一个单据编号对应唯一的客户信息。",
                     "  7.送货单纸张大小：190*265。",
                 }));
    }

    void windowToolbarAndCommandBarCarryTheirCaptions() {
        TestDatabase db;
        ScriptedPrompts prompts;
        Program program;
        TMainForm& w = program.mainForm();
        QCOMPARE(w.windowTitle(), QString("澄朔送货单打印软件 V2.5（增强版）"));
        const QStringList captions = {"基本资料", "打印单据", "数据导出", "数据备份",
                                      "数据恢复", "帮助主题", "退出软件", "添加",
                                      "修改",     "删除",     "查询",     "刷新"};
        for (int i = 0; i < 12; ++i) {
            QToolButton* button = w.speedButton(i + 1);
            QCOMPARE(button->objectName(), QString("SpeedButton%1").arg(i + 1));
            QCOMPARE(button->text(), captions[i]);
            if (i < 7) {
                QCOMPARE(button->parentWidget()->objectName(), QString("Panel10"));
                QCOMPARE(button->geometry().topLeft().x(), 8 + 60 * i);
                QCOMPARE(button->size(), QSize(60, 60));
            } else {
                QCOMPARE(button->geometry(), QRect(376 + 96 * (i - 7), 73, 85, 27));
            }
        }
        auto* tabs = w.findChild<QTabWidget*>("PageControl1");
        QCOMPARE(tabs->count(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(tabs->tabText(i),
                     (QStringList{"商品信息", "客户信息", "送货信息", "使用说明"})[i]);
        QStringList items;
        for (int i = 0; i < w.viewSelector()->count(); ++i)
            items.append(w.viewSelector()->itemText(i));
        QCOMPARE(items, (QStringList{"商品信息", "客户信息", "送货信息"}));
        QStringList menu;
        for (QAction* action : w.recordMenu()->actions())
            menu.append(action->isSeparator() ? "-" : action->text());
        // What the program adds comes below the required items.
        QCOMPARE(menu, (QStringList{"打印单据", "-", "添加信息", "修改信息", "删除信息", "-",
                                    "查询信息", "刷新信息", "导入…"}));
        // The added toolbar buttons stand right-aligned beside each other, clear of the seven.
        const QList<std::pair<const char*, int>> added = {{"ImportButton", 631},
                                                          {"StatementButton", 811},
                                                          {"SalesButton", 871},
                                                          {"SettingsButton", 931}};
        for (const auto& [name, x] : added) {
            auto* button = w.findChild<QToolButton*>(name);
            QVERIFY2(button, name);
            QCOMPARE(button->parentWidget()->objectName(), QString("Panel10"));
            QCOMPARE(button->geometry(), QRect(x, 2, 60, 60));
        }
    }

    void listsOpenAtStartUp() {
        TestDatabase db;
        db.exec("INSERT INTO 表3 (单据编号, 应收金额) VALUES ('1', 0.1), ('2', 0.2)");
        ScriptedPrompts prompts;
        Program program;
        TMainForm& w = program.mainForm();
        QCOMPARE(w.query(TMainForm::View::Deliveries)->recordCount(), 2);
        QCOMPARE(w.query(TMainForm::View::Deliveries)->recNo(), 0);
        QVERIFY(w.printBuffer()->isOpen());
        QCOMPARE(w.grid(TMainForm::View::Deliveries)->footerText(8), QString("0.3"));
        QCOMPARE(w.grid(TMainForm::View::Deliveries)->footerText(0), QString("合计"));
    }

    void missingDatabaseIsReportedAndNotCreated() {
        TestDatabase db;
        QVERIFY(QFile::rename(db.file(), db.file() + ".away"));
        ScriptedPrompts prompts;
        Program program;
        TMainForm& w = program.mainForm();
        QVERIFY(!prompts.texts("error").isEmpty());
        QVERIFY(prompts.texts("error").first().contains("unable to open database file"));
        QVERIFY(!QFile::exists(db.file()));
        QVERIFY(!w.query(TMainForm::View::Goods)->isOpen());
        QVERIFY(QFile::rename(db.file() + ".away", db.file()));
        w.databaseConnection().ReopenAll();
        QVERIFY(w.query(TMainForm::View::Goods)->isOpen());
    }

    void writesTheDesktopLauncher() {
#ifdef Q_OS_WIN
        QSKIP("the shortcut of Windows is tst_windowsdesk's");
#endif
        TestDatabase db;
        ScriptedPrompts prompts;
        const QString desktop = QDir::homePath() + "/Desktop";
        QVERIFY(QDir().mkpath(desktop));
        Program program;
        QFile launcher(desktop + "/" + DesktopLauncher::fileName());
        QVERIFY(launcher.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(launcher.readAll());
        QVERIFY(text.contains("Exec=\"" + QCoreApplication::applicationFilePath() + "\""));
        QVERIFY(text.contains("Path=" + QCoreApplication::applicationDirPath() + "/"));
        QVERIFY(launcher.permissions() & QFile::ExeOwner);
        QVERIFY(QDir(desktop).removeRecursively());
    }

    // As main() runs it: the event loop must end although a print run still waits on its
    // preview when the user exits, and no preview outlives the run.
    void exitWithAPreviewOpenClosesItAndEndsTheProgram_data() {
        QTest::addColumn<QString>("exit");
        QTest::newRow("退出软件") << "button";
        QTest::newRow("close box") << "close";
        QTest::newRow("application quits") << "quit";
    }
    void exitWithAPreviewOpenClosesItAndEndsTheProgram() {
        QFETCH(QString, exit);
        TestDatabase db;
        db.exec("INSERT INTO 表4 (序号, 单据编号, 应收金额) VALUES ('1', 'B1', 5)");
        ScriptedPrompts prompts;
        Program program;
        TMainForm& w = program.mainForm();
        w.show();
        QPointer<TQRStandardPreview> preview;
        bool previewOpened = false;
        bool printRunReturned = false;
        QTimer::singleShot(0, &w, [&] {
            // Runs while the print run waits on its preview.
            QTimer::singleShot(0, &w, [&] {
                const QList<TQRStandardPreview*> open = visiblePreviews();
                previewOpened = open.size() == 1;
                preview = open.value(0);
                if (exit == "button")
                    QTest::mouseClick(w.speedButton(7), Qt::LeftButton);
                else if (exit == "close")
                    w.close();
                else
                    QApplication::exit(0);
            });
            QTest::mouseClick(w.speedButton(2), Qt::LeftButton);
            printRunReturned = true;
        });
        QTimer stuck;
        stuck.setSingleShot(true);
        connect(&stuck, &QTimer::timeout, [] { QApplication::exit(1); });
        stuck.start(10000);
        const int result = QApplication::exec();
        QVERIFY(previewOpened);
        QCOMPARE(result, 0);
        QVERIFY(printRunReturned);
        QVERIFY(preview.isNull());
        QVERIFY(visiblePreviews().isEmpty());
        QCOMPARE(w.isVisible(), exit == "quit");
        QVERIFY(prompts.shown().isEmpty());
    }

    void standardButtonsAreChinese() {
        QMessageBox box(QMessageBox::NoIcon, "提示", "x", QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QString("确定"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("取消"));
    }
};

DN_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
