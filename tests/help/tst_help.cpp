#include "TestMain.h"

#include "help/HelpLinks.h"
#include "platform/UrlOpener.h"

#include <QFrame>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <QUrl>

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void menuDropsBelowTheButtonWhereverTheWindowIs() {
        QWidget window;
        window.resize(600, 300);
        auto* toolbar = new QFrame(&window);
        toolbar->setGeometry(0, 0, 600, 65);
        auto* button = new QToolButton(toolbar);
        button->setGeometry(308, 2, 60, 60);
        QMenu menu;
        menu.addAction("常见问题");
        HelpLinks help(&window, button, &menu);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        for (const QPoint& place : {QPoint(20, 30), QPoint(150, 110)}) {
            window.move(place);
            help.SpeedButton6Click();
            QVERIFY(menu.isVisible());
            const QRect frame = window.frameGeometry();
            QCOMPARE(menu.pos(), QPoint(frame.left() + 308, frame.top() + 90));
            menu.hide();
        }
    }

    void eachLinkHandsItsAddressToTheDesktop() {
        QList<QUrl> opened;
        UrlOpener::setOpenerForTesting([&](const QUrl& url) { opened.append(url); });
        QWidget window;
        QToolButton button(&window);
        QMenu menu;
        HelpLinks help(&window, &button, &menu);
        help.N2Click();
        help.N3Click();
        help.N4Click();
        help.Image8Click();
        UrlOpener::setOpenerForTesting({});
        QCOMPARE(opened,
                 QList<QUrl>({QUrl("https://www.example.com/zqques.htm"),
                              QUrl("mailto:support@example.com"), QUrl("https://www.example.com/"),
                              QUrl("https://www.example.com/")}));
        QVERIFY(!menu.isVisible());
    }
};

DN_TEST_MAIN(TestHelp)
#include "tst_help.moc"
