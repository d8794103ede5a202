#include "printing/StatementReport.h"

#include "data/NumberText.h"
#include "ledger/MoneyText.h"
#include "printing/ReportStyle.h"

#include <cmath>

namespace {

using report::BandType;
using report::FontStyle;
using namespace ReportStyle;

const QString kMaster = QStringLiteral("对账单");
const QString kProfile = QStringLiteral("表5");
// The bill a row belongs to: a bill's rows stay on one page where they fit.
const QString kBillKey = QStringLiteral("单据");

// Nine columns share the width with details: a smaller face keeps dates and amounts whole.
const FontStyle kDetailBody{kSong, 9.5, false, Qt::black};

struct Column {
    const char16_t* field;
    qreal width;
    bool right; // figures stand against the right edge of their cell
};

// Bills alone: date, number, item count, bill total. With details each bill's items follow it
// on rows of their own, and the item amounts have a column of their own beside the bill
// totals, so that no column adds both.
// Without details the statement is an account: the opening balance, each bill (debit) and each
// payment (credit) in date order, and the balance after each.
const Column kBillColumns[] = {{u"业务日期", 24, false}, {u"单据编号", 34, false},
                               {u"摘要", 32, false},     {u"送货金额", 30, true},
                               {u"收款金额", 30, true},  {u"余额", 30, true}};
const Column kDetailColumns[] = {
    {u"业务日期", 22, false}, {u"单据编号", 26, false}, {u"商品名称", 28, false},
    {u"规格型号", 18, false}, {u"单位", 10, false},     {u"数量", 15, true},
    {u"单价", 17, true},      {u"金额", 21, true},      {u"单据金额", 23, true}};

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

QString money(const std::optional<double>& value) {
    return value ? MoneyText::of(*value) : QString();
}

QString shortDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyy/M/d"));
}

void addTitleBand(report::Report& sheet) {
    report::Band* band = sheet.addBand(BandType::Title, QStringLiteral("StatementTitle"), 20);
    band->addDataText("CompanyName", {0, 0, 60, 6.5}, kProfile, "公司名称", kCompany);
    band->addDataText("CompanyWeb", {0, 7.5, 60, 4.5}, kProfile, "公司网址", kSmall);
    band->addDataText("CompanyPhone", {0, 12.5, 60, 4.5}, kProfile, "联系电话", kSmall);
    band->addLabel("StatementHeading", {78, 4, 30, 8}, QStringLiteral("对账单"), kTitle);
}

// On every page: who the statement is for, the period, and the column headings.
void addPageHeader(report::Report& sheet, const Statement& statement, bool details) {
    report::Band* band =
        sheet.addBand(BandType::PageHeader, QStringLiteral("StatementPageHeader"), 21.6);
    band->addLabel("StatementCustomer", {0, 1, kBandWidth, 4.5},
                   QStringLiteral("客户名称：") + StatementReport::customerText(statement),
                   kHeading);
    band->addLabel("StatementPeriod", {0, 7, kBandWidth, 4.5},
                   QStringLiteral("对账期间：%1 至 %2")
                       .arg(shortDate(statement.from), shortDate(statement.to)),
                   kHeading);
    qreal left = 0;
    int n = 1;
    for (const Column& c : columns(details)) {
        band->addShape(QStringLiteral("HeadingCell%1").arg(n), {left, 14, c.width + 0.26, 7.6});
        report::Item* caption =
            band->addLabel(QStringLiteral("HeadingText%1").arg(n),
                           {left + 1, 15.5, c.width - 2, 4.5}, text(c.field), kHeading);
        caption->setAlignment(Qt::AlignHCenter);
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
        report::Item* item = band->addDataText(QStringLiteral("RowText%1").arg(n),
                                               {left + 1.5, 0.9, c.width - 3, 4.5}, kMaster,
                                               text(c.field), details ? kDetailBody : kBody);
        item->setKeptInWidth(true);
        if (c.right)
            item->setAlignment(Qt::AlignRight);
        left += c.width;
        ++n;
    }
}

void addSummaryBand(report::Report& sheet, const Statement& statement, Capitals::Style style) {
    const bool empty = statement.bills.isEmpty();
    const qreal top = (empty ? 8 : 0) + 7;
    report::Band* band =
        sheet.addBand(BandType::Summary, QStringLiteral("StatementSummary"), top + 36);
    if (empty)
        band->addLabel("NoBills", {2, 1.5, 176, 4.5},
                       QStringLiteral("客户在本期（%1 至 %2）没有送货单据。")
                           .arg(shortDate(statement.from), shortDate(statement.to)),
                       kHeading);
    band->addLabel("PeriodTotals", {2, top - 5.5, 176, 4.5},
                   QStringLiteral("期初余额：￥%1　　本期送货：￥%2　　本期收款：￥%3")
                       .arg(MoneyText::of(statement.opening), MoneyText::of(statement.total),
                            MoneyText::of(statement.received)),
                   kHeading);
    band->addShape("TotalCell", {0, top, kBandWidth + 0.26, 13.2});
    band->addLabel("TotalCaption", {2, top + 1.3, 30, 4.5}, QStringLiteral("期末欠款："), kHeading);
    report::Item* figures =
        band->addLabel("TotalFigures", {100, top + 1.3, kBandWidth - 101.5, 4.5},
                       QStringLiteral("￥") + StatementReport::totalFigures(statement), kHeading);
    figures->setAlignment(Qt::AlignRight);
    band->addLabel("CapitalsCaption", {2, top + 7.9, 36, 4.5}, QStringLiteral("期末欠款(大写)："),
                   kHeading);
    band->addLabel("TotalCapitals", {38, top + 7.9, 140, 4.5},
                   StatementReport::totalCapitals(statement, style), kHeading);
    band->addLabel("ConfirmCaption", {2, top + 22, 60, 4.5},
                   QStringLiteral("客户确认（签字盖章）："), kHeading);
    band->addLabel("ConfirmDate", {118, top + 22, 60, 4.5},
                   QStringLiteral("日期：    年    月    日"), kHeading);
}

void addPageFooter(report::Report& sheet) {
    report::Band* band =
        sheet.addBand(BandType::PageFooter, QStringLiteral("StatementPageFooter"), 8);
    report::Item* number = band->addPageNumber("PageNumber", {0, 2, kBandWidth, 4.5},
                                               QStringLiteral("第 %1 页 共 %2 页"), kSmall);
    number->setAlignment(Qt::AlignHCenter);
}

} // namespace

namespace StatementReport {

std::unique_ptr<report::Report> layout(const Statement& statement, bool details,
                                       Capitals::Style style) {
    auto sheet = std::make_unique<report::Report>(QStringLiteral("StatementReport"));
    report::PageSetup setup;
    setup.paper = QSizeF(210, 297);
    setup.margins = QMarginsF(15, 15, 15, 12);
    sheet->setPageSetup(setup);
    sheet->setTitle(QStringLiteral("对账单"));
    sheet->setDocumentName(QStringLiteral("对账单"));
    sheet->setSavedName(fileBase(statement));
    sheet->setMasterDataSet(kMaster);
    sheet->setGroupField(kBillKey);
    addTitleBand(*sheet);
    addPageHeader(*sheet, statement, details);
    addDetailBand(*sheet, details);
    addSummaryBand(*sheet, statement, style);
    addPageFooter(*sheet);
    return sheet;
}

QList<Entry> entries(const Statement& statement) {
    QList<Entry> out;
    qsizetype r = 0;
    for (const Statement::Bill& bill : statement.bills) {
        // A day's payments come after its bills.
        while (r < statement.receipts.size() && statement.receipts[r].date < bill.date)
            out.append({statement.receipts[r].date, nullptr, &statement.receipts[r++]});
        out.append({bill.date, &bill, nullptr});
    }
    for (; r < statement.receipts.size(); ++r)
        out.append({statement.receipts[r].date, nullptr, &statement.receipts[r]});
    return out;
}

QString receiptText(const Statement::Receipt& receipt) {
    return receipt.method.isEmpty() ? QStringLiteral("收款")
                                    : QStringLiteral("收款（%1）").arg(receipt.method);
}

report::RowTable rows(const Statement& statement, bool details) {
    report::RowTable table;
    table.fields = headings(details);
    table.fields.append(kBillKey);
    const qsizetype key = table.fields.size() - 1;
    // With details the bill totals' column holds the account: opening, bills, payments less.
    const qsizetype total =
        table.column(details ? QStringLiteral("单据金额") : QStringLiteral("余额"));
    QStringList opening(table.fields.size());
    opening[0] = shortDate(statement.from);
    opening[2] = QStringLiteral("期初余额");
    opening[total] = MoneyText::of(statement.opening);
    opening[key] = QStringLiteral("0");
    table.rows.append(opening);
    qint64 balance = statement.opening;
    int n = 0;
    for (const Entry& entry : entries(statement)) {
        QStringList row(table.fields.size());
        row[0] = shortDate(entry.date);
        row[key] = QString::number(++n);
        if (entry.receipt) {
            balance -= entry.receipt->amount;
            row[2] = receiptText(*entry.receipt);
            if (details) {
                row[total] = MoneyText::of(-entry.receipt->amount);
            } else {
                row[4] = MoneyText::of(entry.receipt->amount);
                row[total] = MoneyText::of(balance);
            }
            table.rows.append(row);
            continue;
        }
        const Statement::Bill& bill = *entry.bill;
        balance += bill.total;
        row[1] = bill.number;
        if (details) {
            row[total] = MoneyText::of(bill.total);
        } else {
            row[2] = QStringLiteral("送货 %1 项").arg(bill.items.size());
            row[3] = MoneyText::of(bill.total);
            row[total] = MoneyText::of(balance);
        }
        table.rows.append(row);
        if (!details)
            continue;
        for (const Statement::Item& item : bill.items)
            table.rows.append({QString(), QString(), item.goods, item.model, item.unit,
                               shown(item.quantity), shown(item.price), money(item.amount),
                               QString(), row[key]});
    }
    return table;
}

QStringList headings(bool details) {
    QStringList out;
    for (const Column& c : columns(details))
        out.append(text(c.field));
    return out;
}

QString customerText(const Statement& statement) {
    const Customer& c = statement.customer;
    QString text = c.contact;
    for (const QString& part : {c.address, c.telephone})
        if (!part.isEmpty())
            text += QStringLiteral("　") + part;
    return text;
}

QString fileBase(const Statement& statement) {
    return QStringLiteral("对账单_%1_%2_%3")
        .arg(statement.customer.contact, statement.from.toString(QStringLiteral("yyyy-MM-dd")),
             statement.to.toString(QStringLiteral("yyyy-MM-dd")));
}

QString totalFigures(const Statement& statement) {
    return MoneyText::of(statement.closing());
}

QString totalCapitals(const Statement& statement, Capitals::Style style) {
    // To the fen as the figures show it, half away from zero.
    const double total = std::round(static_cast<double>(statement.closing()) / 100.0) / 100.0;
    return Capitals::total(total, style);
}

} // namespace StatementReport
