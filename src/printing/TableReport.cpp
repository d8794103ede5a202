#include "printing/TableReport.h"

namespace {

using report::BandType;
using report::FontStyle;

const QString kSong = QStringLiteral("宋体");
const QString kMaster = QStringLiteral("明细");
const QString kProfile = QStringLiteral("表5");
const FontStyle kHeading{kSong, 10.5, true, Qt::black};
const FontStyle kBody{kSong, 9.5, false, Qt::black};
const FontStyle kTitle{kSong, 20, true, Qt::black};
const FontStyle kCompany{kSong, 15, true, Qt::red};
const FontStyle kSmall{kSong, 10, false, Qt::black};
constexpr qreal kRowHeight = 6.6;
constexpr qreal kLine = 6.5;

} // namespace

namespace TableReport {

std::unique_ptr<report::Report> layout(const Layout& l) {
    auto sheet = std::make_unique<report::Report>(l.name);
    report::PageSetup setup;
    setup.paper = l.paper;
    setup.margins = QMarginsF(15, 15, 15, 12);
    sheet->setPageSetup(setup);
    sheet->setTitle(l.title);
    sheet->setDocumentName(l.title);
    sheet->setSavedName(l.savedName);
    sheet->setMasterDataSet(kMaster);
    const qreal width = setup.bandWidth();

    report::Band* title = sheet->addBand(BandType::Title, QStringLiteral("LedgerTitle"), 20);
    title->addDataText("CompanyName", {0, 0, width, 6.5}, kProfile, "公司名称", kCompany);
    title->addDataText("CompanyPhone", {0, 7.5, 80, 4.5}, kProfile, "联系电话", kSmall);
    report::Item* heading = title->addLabel("LedgerHeading", {0, 11, width, 8}, l.title, kTitle);
    heading->setAlignment(Qt::AlignHCenter);

    const qreal linesHeight = kLine * static_cast<qreal>(l.headerLines.size());
    report::Band* header =
        sheet->addBand(BandType::PageHeader, QStringLiteral("LedgerPageHeader"), linesHeight + 9.6);
    for (qsizetype i = 0; i < l.headerLines.size(); ++i)
        header->addLabel(QStringLiteral("HeaderLine%1").arg(i + 1),
                         {0, 1 + kLine * static_cast<qreal>(i), width, 4.5}, l.headerLines[i],
                         kHeading);
    qreal left = 0;
    int n = 1;
    for (const Column& c : l.columns) {
        header->addShape(QStringLiteral("HeadingCell%1").arg(n),
                         {left, linesHeight + 2, c.width + 0.26, 7.6});
        report::Item* caption = header->addLabel(
            QStringLiteral("HeadingText%1").arg(n),
            {left + 0.8, linesHeight + 3.5, c.width - 1.6, 4.5}, c.heading, kHeading);
        caption->setAlignment(Qt::AlignHCenter);
        caption->setKeptInWidth(true);
        left += c.width;
        ++n;
    }

    report::Band* detail = sheet->addBand(BandType::Detail, QStringLiteral("LedgerRow"), 6.09);
    left = 0;
    n = 1;
    for (const Column& c : l.columns) {
        detail->addShape(QStringLiteral("RowCell%1").arg(n), {left, 0, c.width + 0.26, kRowHeight});
        left += c.width;
        ++n;
    }
    left = 0;
    n = 1;
    for (const Column& c : l.columns) {
        report::Item* item =
            detail->addDataText(QStringLiteral("RowText%1").arg(n), {left + 1, 1, c.width - 2, 4.5},
                                kMaster, c.heading, kBody);
        item->setKeptInWidth(true);
        if (c.right)
            item->setAlignment(Qt::AlignRight);
        left += c.width;
        ++n;
    }

    const qreal summaryHeight =
        3 + kLine * static_cast<qreal>(l.summaryLines.size()) + (l.signatureLines ? 20 : 0);
    report::Band* summary =
        sheet->addBand(BandType::Summary, QStringLiteral("LedgerSummary"), summaryHeight);
    for (qsizetype i = 0; i < l.summaryLines.size(); ++i)
        summary->addLabel(QStringLiteral("SummaryLine%1").arg(i + 1),
                          {2, 2.5 + kLine * static_cast<qreal>(i), width - 4, 4.5},
                          l.summaryLines[i], kHeading);
    if (l.signatureLines) {
        const qreal top = 3 + kLine * static_cast<qreal>(l.summaryLines.size()) + 9;
        summary->addLabel("ConfirmCaption", {2, top, 90, 4.5},
                          QStringLiteral("客户确认（签字盖章）："), kHeading);
        summary->addLabel("ConfirmDate", {width - 62, top, 60, 4.5},
                          QStringLiteral("日期：    年    月    日"), kHeading);
    }

    report::Band* footer =
        sheet->addBand(BandType::PageFooter, QStringLiteral("LedgerPageFooter"), 8);
    report::Item* number = footer->addPageNumber("PageNumber", {0, 2, width, 4.5},
                                                 QStringLiteral("第 %1 页 共 %2 页"), kSmall);
    number->setAlignment(Qt::AlignHCenter);
    return sheet;
}

report::RowTable rows(const Layout& l, const QList<QStringList>& cells) {
    report::RowTable table;
    for (const Column& c : l.columns)
        table.fields.append(c.heading);
    table.rows = cells;
    return table;
}

} // namespace TableReport
