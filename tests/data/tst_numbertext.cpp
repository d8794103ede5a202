#include "TestMain.h"

#include "data/DateText.h"
#include "data/Errors.h"
#include "data/NumberText.h"

#include <QObject>
#include <QTest>

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void general_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 12.0 << "12";
        QTest::newRow("half") << 12.5 << "12.5";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("tenths sum") << 0.1 + 0.2 << "0.3";
        QTest::newRow("negative") << -37.25 << "-37.25";
        QTest::newRow("smallest plain") << 0.0001 << "0.0001";
        QTest::newRow("below plain") << 0.000015 << "1.5E-5";
        QTest::newRow("largest plain") << 999999999999999.0 << "999999999999999";
        QTest::newRow("1E15") << 1e15 << "1E15";
        QTest::newRow("rounds up to 1E15") << 999999999999999.9 << "1E15";
        QTest::newRow("15 digits") << 1234567.891234567 << "1234567.89123457";
        QTest::newRow("big mantissa") << 1.5e20 << "1.5E20";
    }
    void general() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(NumberText::general(value), text);
    }

    void extendedProducts() {
        // The amount: price times quantity in extended precision, then 15 digits.
        auto amount = [](const char* p, const char* q) {
            return NumberText::general(NumberText::toExtended(p) * NumberText::toExtended(q));
        };
        QCOMPARE(amount("2", "5"), QString("10"));
        QCOMPARE(amount("2.5", "3"), QString("7.5"));
        QCOMPARE(amount("0.1", "3"), QString("0.3"));
        QCOMPARE(amount("12.5", "3"), QString("37.5"));
        QCOMPARE(amount("1.1", "1.1"), QString("1.21"));
    }

    void display_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 12.0 << "12";
        QTest::newRow("half") << 12.5 << "12.5";
        QTest::newRow("rounds half up") << 0.125 << "0.13";
        QTest::newRow("drops below") << 0.1234 << "0.12";
        QTest::newRow("tiny") << 0.004 << "0";
        QTest::newRow("carry") << 9.999 << "10";
        QTest::newRow("decimal rounding") << 1.005 << "1.01";
        QTest::newRow("negative") << -2.5 << "-2.5";
        QTest::newRow("negative tiny") << -0.001 << "0";
        QTest::newRow("no grouping") << 1234567.0 << "1234567";
    }
    void display() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(NumberText::display(value), text);
    }

    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        QTest::newRow("point alone") << "." << true << 0.0;
        QTest::newRow("trailing point") << "5." << true << 5.0;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("blanks and sign") << "  -1.5  " << true << -1.5;
        QTest::newRow("exponent") << "1.5E3" << true << 1500.0;
        QTest::newRow("negative exponent") << "15e-1" << true << 1.5;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blanks") << "   " << false << 0.0;
        QTest::newRow("sign") << "-" << false << 0.0;
        QTest::newRow("letters") << "12a" << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("exponent without digits") << "1E" << false << 0.0;
        QTest::newRow("comma") << "1,5" << false << 0.0;
        QTest::newRow("overflow") << "1E400" << false << 0.0;
        QTest::newRow("inner blank") << "1 2" << false << 0.0;
        QTest::newRow("full-width digit") << "１" << false << 0.0;
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, value);
        const auto parsed = NumberText::parse(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(double(*parsed), value);
    }

    void emptyTextFailsWithItsMessage() {
        try {
            NumberText::toNumber(QString());
            QFAIL("no error");
        } catch (const ConversionError& e) {
            QCOMPARE(e.message(), QString("'' is not a valid floating point value"));
        }
    }

    void tidy() {
        QCOMPARE(NumberText::tidy("12.5"), QString("12.5"));
        QCOMPARE(NumberText::tidy("3"), QString("3"));
        QCOMPARE(NumberText::tidy("8"), QString("8"));
        QCOMPARE(NumberText::tidy("2.456"), QString("2.46"));
        QCOMPARE(NumberText::tidy("3.456"), QString("3.46"));
        QCOMPARE(NumberText::tidy("0.004"), QString("0"));
        QVERIFY_THROWS_EXCEPTION(ConversionError, NumberText::tidy(""));
    }

    void tenThousandthSums() {
        qint64 sum = 0;
        for (double v : {0.1, 0.2})
            sum += NumberText::toTenThousandths(v);
        QCOMPARE(NumberText::displayTenThousandths(sum), QString("0.3"));
        QCOMPARE(NumberText::displayTenThousandths(127500), QString("12.75"));
        QCOMPARE(NumberText::displayTenThousandths(1250), QString("0.13"));
        QCOMPARE(NumberText::displayTenThousandths(99950), QString("10"));
        QCOMPARE(NumberText::displayTenThousandths(-25000), QString("-2.5"));
        QCOMPARE(NumberText::displayTenThousandths(0), QString("0"));
        QVERIFY_THROWS_EXCEPTION(ConversionError, NumberText::toTenThousandths(1e300));
    }

    void dates() {
        QCOMPARE(DateText::toStorage(QDate(2026, 3, 5)), QString("2026-03-05"));
        QCOMPARE(DateText::display("2026-03-05"), QString("2026/3/5"));
        QCOMPARE(DateText::display("2026-12-18 00:00:00"), QString("2026/12/18"));
        QCOMPARE(DateText::parse("2026/3/5"), QDate(2026, 3, 5));
        QCOMPARE(DateText::display("not a date"), QString("not a date"));
        QCOMPARE(DateText::display("2026-02-30"), QString("2026-02-30"));
        QCOMPARE(DateText::display(" 0999-01-02"), QString("0999/1/2"));
        QCOMPARE(DateText::display("2026-3-5"), QString("2026/3/5"));
    }
};

DN_TEST_MAIN(TestNumberText)
#include "tst_numbertext.moc"
