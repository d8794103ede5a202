#include "TestMain.h"

#include "records/NumberKeyFilter.h"

#include <QLineEdit>

class TestNumberKeyFilter : public QObject {
    Q_OBJECT
private slots:
    void judgesEachCharacter() {
        QVERIFY(NumberKeyFilter::accepts('7', "12"));
        QVERIFY(NumberKeyFilter::accepts('.', "12"));
        QVERIFY(!NumberKeyFilter::accepts('.', "1.2"));
        QVERIFY(NumberKeyFilter::accepts(QChar(8), "1.2"));
        for (QChar c : QString("-+ aE,\x16\x03"))
            QVERIFY(!NumberKeyFilter::accepts(c, ""));
    }

    void leavesProgramAndPastedTextAlone() {
        QLineEdit box;
        NumberKeyFilter::install(&box);
        box.setText("abc");
        QCOMPARE(box.text(), QString("abc"));
        box.clear();
        box.insert("-1.2.3");
        QCOMPARE(box.text(), QString("-1.2.3"));
        // Moving the caret and deleting are not typing.
        QTest::keyClick(&box, Qt::Key_Home);
        QTest::keyClick(&box, Qt::Key_Delete);
        QCOMPARE(box.text(), QString("1.2.3"));
    }
};

DN_TEST_MAIN(TestNumberKeyFilter)
#include "tst_numberkeyfilter.moc"
