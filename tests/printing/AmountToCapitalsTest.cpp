#include "PrintingTest.h"

#include "data/Errors.h"
#include "printing/AmountToCapitals.h"
#include "printing/Capitals.h"

#include <QTest>
#include <cmath>
#include <limits>

void PrintingTest::amountToCapitals_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    const struct {
        double amount;
        const char* text;
    } examples[] = {
        {0, "元"},
        {0.07, "元零柒分"},
        {0.5, "元伍角"},
        {0.3, "元叁角"},
        {5, "伍元"},
        {10, "壹十元"},
        {11, "壹十壹元"},
        {20, "贰十元"},
        {105, "壹佰零伍元"},
        {110, "壹佰壹十元"},
        {1000.5, "壹千元伍角"},
        {1010, "壹千零壹十元"},
        {10005, "壹万零伍元"},
        {10100, "壹万零壹佰元"},
        {100000, "十万元"},
        {101000, "十万壹千元"},
        {110000, "十壹万元"},
        {120000.25, "十贰万元贰角伍分"},
        {200000, "贰十万元"},
        {1000000, "壹佰万元"},
        {2110000, "贰佰十壹万元"},
        {100000000, "壹亿元"},
        {100010000, "壹亿零壹万元"},
        {100100000, "壹亿零十万元"},
        {123000000, "壹亿贰千叁佰万元"},
        {1000000000, "壹十亿元"},
        {12.03, "壹十贰元零叁分"},
        {12.75, "壹十贰元柒角伍分"},
        {518.18, "伍佰壹十捌元壹角捌分"},
        // A fraction rounding up to a whole unit is dropped, not carried.
        {5.996, "伍元"},
        // Hundredths first, an exact tie to the even neighbour.
        {0.125, "元壹角贰分"},
        // No units past the thirteenth digit.
        {1e13, "壹亿元"},
        // The largest amount below 2^63: every digit converts, nothing overflows.
        {9223372036854774784.0, "玖贰贰叁叁柒贰万零叁佰陆十捌亿伍千肆佰柒十柒万肆千柒佰捌十肆元"},
    };
    for (const auto& e : examples) {
        QTest::addRow("%s", qPrintable(QString::number(e.amount, 'g', 17)))
            << e.amount << QString::fromUtf8(e.text) << QString();
    }
    const struct {
        const char* name;
        double amount;
        const char* error;
    } rejected[] = {
        {"-5", -5, "'-' is not a valid integer value"},
        {"-0.5", -0.5, "'-' is not a valid integer value"},
        {"-inf", -std::numeric_limits<double>::infinity(), "'-' is not a valid integer value"},
        {"nan", std::nan(""), "'NAN' is not a valid integer value"},
        {"inf", std::numeric_limits<double>::infinity(), "'INF' is not a valid integer value"},
        {"1e19", 1e19, "'1E19' is not a valid integer value"},
        {"2^63", 9223372036854775808.0, "'9.22337203685478E18' is not a valid integer value"},
    };
    for (const auto& r : rejected)
        QTest::newRow(r.name) << r.amount << QString() << QString::fromUtf8(r.error);
}

void PrintingTest::amountToCapitals() {
    QFETCH(double, amount);
    QFETCH(QString, text);
    QFETCH(QString, error);
    if (error.isEmpty()) {
        QCOMPARE(AmountToCapitals(amount), text);
        return;
    }
    try {
        AmountToCapitals(amount);
        QFAIL("no error");
    } catch (const ConversionError& e) {
        QCOMPARE(e.message(), error);
    }
}

// The banking way, on a table of its own: 拾 佰 仟, one 零 for a run of zeros (also across
// 万 and 亿), 壹拾 for a leading ten, 整 after 元 and 角 but not after 分.
void PrintingTest::bankingCapitals_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("text");
    const struct {
        double amount;
        const char* text;
    } examples[] = {
        {0, "零元整"},
        {0.07, "柒分"},
        {0.5, "伍角整"},
        {0.53, "伍角叁分"},
        {5, "伍元整"},
        {10, "壹拾元整"},
        {11, "壹拾壹元整"},
        {20, "贰拾元整"},
        {105, "壹佰零伍元整"},
        {110, "壹佰壹拾元整"},
        {1000.5, "壹仟元伍角整"},
        {1010, "壹仟零壹拾元整"},
        {1680.32, "壹仟陆佰捌拾元叁角贰分"},
        {10005, "壹万零伍元整"},
        {100000, "壹拾万元整"},
        {110000, "壹拾壹万元整"},
        {1000100, "壹佰万零壹佰元整"},
        {100000005, "壹亿零伍元整"},
        {100010000, "壹亿零壹万元整"},
        {100100000, "壹亿零壹拾万元整"},
        {123000000, "壹亿贰仟叁佰万元整"},
        {1000000000, "壹拾亿元整"},
        {12.03, "壹拾贰元零叁分"},
        {518.18, "伍佰壹拾捌元壹角捌分"},
        {-20.5, "负贰拾元伍角整"},
        // To hundredths first.
        {0.125, "壹角贰分"},
        {5.996, "陆元整"},
    };
    for (const auto& e : examples)
        QTest::addRow("%s", qPrintable(QString::number(e.amount, 'g', 17)))
            << e.amount << QString::fromUtf8(e.text);
}

void PrintingTest::bankingCapitals() {
    QFETCH(double, amount);
    QFETCH(QString, text);
    QCOMPARE(Capitals::banking(amount), text);
}
