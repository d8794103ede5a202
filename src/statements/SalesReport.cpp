#include "statements/SalesReport.h"

#include "data/NumberText.h"
#include "ledger/MoneyText.h"
#include "printing/ReportStyle.h"

#include <algorithm>

namespace {

using report::BandType;
using namespace ReportStyle;
using Grouping = SalesSummary::Grouping;

const QString kMaster = QStringLiteral("销售统计");

constexpr qreal kChartHeight = 105;

QList<qreal> widths(Grouping grouping) {
    if (grouping == Grouping::Goods)
        return {70, 20, 25, 30, 35};
    return {80, 30, 30, 40};
}

QString shortDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyy/M/d"));
}

// One row of cells with their texts, at the given top of a band.
void addCells(report::Band* band, const QString& prefix, Grouping grouping, qreal top,
              const std::function<void(report::Band*, const QString&, const QRectF&, int)>& text) {
    qreal left = 0;
    const QList<qreal> w = widths(grouping);
    for (int c = 0; c < w.size(); ++c) {
        band->addShape(QStringLiteral("%1Cell%2").arg(prefix).arg(c + 1),
                       {left, top, w[c] + 0.26, kRowHeight});
        left += w[c];
    }
    left = 0;
    for (int c = 0; c < w.size(); ++c) {
        text(band, QStringLiteral("%1Text%2").arg(prefix).arg(c + 1),
             {left + 1.5, top + 0.9, w[c] - 3, 4.5}, c);
        left += w[c];
    }
}

} // namespace

namespace SalesReport {

QString groupingName(Grouping grouping) {
    switch (grouping) {
    case Grouping::Month:
        return QStringLiteral("按月");
    case Grouping::Customer:
        return QStringLiteral("按客户");
    case Grouping::Goods:
        break;
    }
    return QStringLiteral("按商品");
}

QStringList headings(Grouping grouping) {
    switch (grouping) {
    case Grouping::Month:
        return {QStringLiteral("月份"), QStringLiteral("单据数"), QStringLiteral("数量"),
                QStringLiteral("金额")};
    case Grouping::Customer:
        return {QStringLiteral("客户"), QStringLiteral("单据数"), QStringLiteral("数量"),
                QStringLiteral("金额")};
    case Grouping::Goods:
        break;
    }
    return {QStringLiteral("商品"), QStringLiteral("单位"), QStringLiteral("单据数"),
            QStringLiteral("数量"), QStringLiteral("金额")};
}

QStringList texts(const SalesSummary::Row& row, Grouping grouping) {
    QStringList out{row.group};
    if (grouping == Grouping::Goods)
        out.append(row.counted ? row.unit : QString());
    out << QString::number(row.bills)
        << (row.counted ? NumberText::displayTenThousandths(row.quantity) : QString())
        << MoneyText::of(row.amount);
    return out;
}

bool isFigure(Grouping grouping, qsizetype column) {
    return column >= (grouping == Grouping::Goods ? 2 : 1);
}

QString periodLine(Grouping grouping, const QDate& from, const QDate& to) {
    return QStringLiteral("统计期间：%1 至 %2　分组：%3")
        .arg(shortDate(from), shortDate(to), groupingName(grouping));
}

QString fileBase(Grouping grouping, const QDate& from, const QDate& to) {
    return QStringLiteral("销售统计_%1_%2_%3")
        .arg(groupingName(grouping), from.toString(QStringLiteral("yyyy-MM-dd")),
             to.toString(QStringLiteral("yyyy-MM-dd")));
}

charts::BarChart chart(const SalesSummary& summary, const QDate& from, const QDate& to,
                       bool heading) {
    QList<charts::BarChart::Bar> bars;
    qint64 rest = 0;
    const bool capped = summary.grouping != Grouping::Month;
    for (qsizetype i = 0; i < summary.rows.size(); ++i) {
        const SalesSummary::Row& sums = summary.rows[i];
        if (capped && i >= kMostBars) {
            rest += sums.amount;
            continue;
        }
        // Goods sold in two units are two bars: each says its unit.
        const bool twice = summary.grouping == Grouping::Goods &&
                           std::count_if(summary.rows.begin(), summary.rows.end(),
                                         [&](const SalesSummary::Row& other) {
                                             return other.group == sums.group;
                                         }) > 1;
        bars.append({twice ? sums.group + QStringLiteral("（%1）").arg(sums.unit) : sums.group,
                     static_cast<double>(sums.amount) / 10000.0});
    }
    if (capped && summary.rows.size() > kMostBars)
        bars.append({QStringLiteral("其他"), static_cast<double>(rest) / 10000.0});
    charts::BarChart chart;
    chart.setBars(bars);
    if (heading)
        chart.setHeading({QStringLiteral("销售金额"), periodLine(summary.grouping, from, to)});
    return chart;
}

std::unique_ptr<report::Report> layout(const SalesSummary& summary, const QDate& from,
                                       const QDate& to) {
    auto sheet = std::make_unique<report::Report>(QStringLiteral("SalesReport"));
    report::PageSetup setup;
    setup.paper = QSizeF(210, 297);
    setup.margins = QMarginsF(15, 15, 15, 12);
    sheet->setPageSetup(setup);
    sheet->setTitle(QStringLiteral("销售统计"));
    sheet->setDocumentName(QStringLiteral("销售统计"));
    sheet->setSavedName(fileBase(summary.grouping, from, to));
    sheet->setMasterDataSet(kMaster);
    const Grouping grouping = summary.grouping;

    report::Band* title = sheet->addBand(BandType::Title, QStringLiteral("SalesTitle"), 30);
    title->addDataText("CompanyName", {0, 0, 90, 6.5}, QStringLiteral("表5"), "公司名称", kCompany);
    report::Item* heading =
        title->addLabel("SalesHeading", {0, 8, kBandWidth, 9}, QStringLiteral("销售统计"), kTitle);
    heading->setAlignment(Qt::AlignHCenter);
    title->addLabel("SalesPeriod", {0, 21, kBandWidth, 4.5}, periodLine(grouping, from, to),
                    kHeading);

    report::Band* header =
        sheet->addBand(BandType::PageHeader, QStringLiteral("SalesPageHeader"), kRowHeight);
    const QStringList captions = headings(grouping);
    addCells(header, QStringLiteral("Heading"), grouping, 0,
             [&](report::Band* band, const QString& name, const QRectF& rect, int c) {
                 band->addLabel(name, rect, captions[c], kHeading)->setAlignment(Qt::AlignHCenter);
             });

    report::Band* detail = sheet->addBand(BandType::Detail, QStringLiteral("SalesRow"), 6.09);
    addCells(detail, QStringLiteral("Row"), grouping, 0,
             [&](report::Band* band, const QString& name, const QRectF& rect, int c) {
                 report::Item* item = band->addDataText(name, rect, kMaster, captions[c], kBody);
                 item->setKeptInWidth(true);
                 if (isFigure(grouping, c))
                     item->setAlignment(Qt::AlignRight);
             });

    report::Band* total = sheet->addBand(BandType::Summary, QStringLiteral("SalesSummary"),
                                         kRowHeight + 6 + kChartHeight);
    const QStringList sums = texts(summary.total, grouping);
    addCells(total, QStringLiteral("Total"), grouping, 0,
             [&](report::Band* band, const QString& name, const QRectF& rect, int c) {
                 report::Item* item = band->addLabel(name, rect, sums[c], kHeading);
                 if (isFigure(grouping, c))
                     item->setAlignment(Qt::AlignRight);
             });
    // The title above already names period and grouping.
    charts::BarChart amounts = chart(summary, from, to, false);
    amounts.setHeading({QStringLiteral("销售金额")});
    total->addDrawing("SalesChart", {0, kRowHeight + 6, kBandWidth, kChartHeight},
                      amounts.draw({kBandWidth, kChartHeight}));

    report::Band* footer =
        sheet->addBand(BandType::PageFooter, QStringLiteral("SalesPageFooter"), 8);
    footer
        ->addPageNumber("PageNumber", {0, 2, kBandWidth, 4.5}, QStringLiteral("第 %1 页 共 %2 页"),
                        kSmall)
        ->setAlignment(Qt::AlignHCenter);
    return sheet;
}

report::RowTable rows(const SalesSummary& summary) {
    report::RowTable table;
    table.fields = headings(summary.grouping);
    for (const SalesSummary::Row& row : summary.rows)
        table.rows.append(texts(row, summary.grouping));
    return table;
}

} // namespace SalesReport
