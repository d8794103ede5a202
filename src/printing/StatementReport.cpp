#include "printing/StatementReport.h"

#include "data/NumberText.h"
#include "printing/Capitals.h"

#include <cmath>

namespace {

using report::BandType;
using report::FontStyle;

const QString kSong = QStringLiteral("宋体");
const QString kMaster = QStringLiteral("对账单");
const QString kProfile = QStringLiteral("表5");

const FontStyle kHeading{kSong, 11, true, Qt::black};
const FontStyle kBody{kSong, 10.5, false, Qt::black};
const FontStyle kTitle{kSong, 22, true, Qt::black};
const FontStyle kCompany{kSong, 16, true, Qt::red};
const FontStyle kSmall{kSong, 10.5, false, Qt::black};

constexpr qreal kRowHeight = 6.6;

struct Column {
    const char16_t* field;
    qreal width;
};

// Bills alone: date, number, item count, bill total. With details the goods columns come
// between the count and the amount, which then also holds each item's amount.
const Column kBillColumns[] = {
    {u"业务日期", 32}, {u"单据编号", 58}, {u"品项数", 30}, {u"金额", 60}};
const Column kDetailColumns[] = {{u"业务日期", 22}, {u"单据编号", 32}, {u"品项数", 14},
                                 {u"商品名称", 34}, {u"规格型号", 20}, {u"单位", 12},
                                 {u"数量", 14},     {u"单价", 14},     {u"金额", 18}};

QList<Column> columns(bool details) {
    QList<Column> out;
    if (details)
        for (const Column& c : kDetailColumns)
            out.append(c);
    else
        for (const Column& c : kBillColumns)
            out.append(c);
    return out;
}

QString text(const char16_t* s) {
    return QString::fromUtf16(s);
}

QString shown(const std::optional<double>& value) {
    return value ? NumberText::display(*value) : QString();
}

QString shortDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyy/M/d"));
}

void addTitleBand(report::Report& sheet, const Statement& statement, bool details) {
    report::Band* band = sheet.addBand(BandType::Title, QStringLiteral("StatementTitle"), 34.09);
    band->addDataText("CompanyName", {0, 0, 60, 6.5}, kProfile, "公司名称", kCompany);
    band->addDataText("CompanyWeb", {0, 7.5, 60, 4.5}, kProfile, "公司网址", kSmall);
    band->addDataText("CompanyPhone", {0, 12.5, 60, 4.5}, kProfile, "联系电话", kSmall);
    band->addLabel("StatementHeading", {78, 4, 30, 8}, QStringLiteral("对账单"), kTitle);
    band->addLabel("StatementCustomer", {0, 21, 90, 4.5},
                   QStringLiteral("客户名称：") + statement.customer, kHeading);
    band->addLabel("StatementPeriod", {92, 21, 88, 4.5},
                   QStringLiteral("对账期间：%1 至 %2")
                       .arg(shortDate(statement.from), shortDate(statement.to)),
                   kHeading);
    qreal left = 0;
    int n = 1;
    for (const Column& c : columns(details)) {
        band->addShape(QStringLiteral("HeadingCell%1").arg(n),
                       {left, 28, c.width + 0.26, kRowHeight});
        band->addLabel(QStringLiteral("HeadingText%1").arg(n), {left + 1.5, 29.3, c.width - 2, 4.5},
                       text(c.field), kHeading);
        left += c.width;
        ++n;
    }
}

void addDetailBand(report::Report& sheet, bool details) {
    report::Band* band = sheet.addBand(BandType::Detail, QStringLiteral("StatementRow"), 6.09);
    qreal left = 0;
    int n = 1;
    for (const Column& c : columns(details)) {
        band->addShape(QStringLiteral("RowCell%1").arg(n), {left, 0, c.width + 0.26, kRowHeight});
        left += c.width;
        ++n;
    }
    left = 0;
    n = 1;
    for (const Column& c : columns(details)) {
        band->addDataText(QStringLiteral("RowText%1").arg(n), {left + 1.5, 0.9, c.width - 2, 4.5},
                          kMaster, text(c.field), kBody);
        left += c.width;
        ++n;
    }
}

void addSummaryBand(report::Report& sheet, const Statement& statement) {
    report::Band* band = sheet.addBand(BandType::Summary, QStringLiteral("StatementSummary"), 34);
    band->addShape("TotalCell", {0, 0, 180.26, 13.2});
    band->addLabel("TotalCaption", {2, 1.3, 30, 4.5}, QStringLiteral("本期合计："), kHeading);
    band->addLabel("TotalFigures", {32, 1.3, 60, 4.5},
                   QStringLiteral("￥") + StatementReport::totalFigures(statement), kHeading);
    band->addLabel("CapitalsCaption", {2, 7.9, 36, 4.5}, QStringLiteral("合计金额(大写)："),
                   kHeading);
    band->addLabel("TotalCapitals", {38, 7.9, 140, 4.5}, StatementReport::totalCapitals(statement),
                   kHeading);
    band->addLabel("ConfirmCaption", {2, 22, 60, 4.5}, QStringLiteral("客户确认（签字盖章）："),
                   kHeading);
    band->addLabel("ConfirmDate", {118, 22, 60, 4.5}, QStringLiteral("日期：    年    月    日"),
                   kHeading);
}

} // namespace

namespace StatementReport {

std::unique_ptr<report::Report> layout(const Statement& statement, bool details) {
    auto sheet = std::make_unique<report::Report>(QStringLiteral("StatementReport"));
    report::PageSetup setup;
    setup.paper = QSizeF(210, 297);
    setup.margins = QMarginsF(15, 15, 15, 15);
    sheet->setPageSetup(setup);
    sheet->setTitle(QStringLiteral("对账单"));
    sheet->setDocumentName(QStringLiteral("对账单"));
    sheet->setMasterDataSet(kMaster);
    addTitleBand(*sheet, statement, details);
    addDetailBand(*sheet, details);
    addSummaryBand(*sheet, statement);
    return sheet;
}

report::RowTable rows(const Statement& statement, bool details) {
    report::RowTable table;
    for (const Column& c : columns(details))
        table.fields.append(text(c.field));
    const qsizetype amount = table.column(QStringLiteral("金额"));
    for (const Statement::Bill& bill : statement.bills) {
        QStringList row(table.fields.size());
        row[0] = shortDate(bill.date);
        row[1] = bill.number;
        row[2] = QString::number(bill.items.size());
        row[amount] = NumberText::displayTenThousandths(bill.total);
        table.rows.append(row);
        if (!details)
            continue;
        for (const Statement::Item& item : bill.items)
            table.rows.append({QString(), QString(), QString(), item.goods, item.model, item.unit,
                               shown(item.quantity), shown(item.price), shown(item.amount)});
    }
    return table;
}

QString totalFigures(const Statement& statement) {
    return NumberText::displayTenThousandths(statement.total);
}

QString totalCapitals(const Statement& statement) {
    // To hundredths as the figures show it; a credit balance is written as negative.
    const double total = std::nearbyint(static_cast<double>(statement.total) / 100.0) / 100.0;
    return Capitals::total(total, Capitals::chosen());
}

} // namespace StatementReport
