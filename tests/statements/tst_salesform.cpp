#include "FormFixture.h"
#include "ScriptedPrompts.h"
#include "SpreadsheetReader.h"
#include "TestMain.h"

#include "charts/BarChart.h"
#include "printing/QRPrev.h"
#include "printing/ReportPreview.h"
#include "report/Generator.h"
#include "statements/ChartView.h"
#include "statements/SalesForm.h"
#include "statements/SalesReport.h"
#include "ui/DatePicker.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

namespace {

struct SalesFixture : FormFixture {
    PrintSettings settings;
    std::unique_ptr<SalesForm> form;

    SalesFixture() {
        add({"A1", QDate(2026, 10, 30), "王经理", "螺丝", "0.1", "2"});
        add({"A1", QDate(2026, 10, 30), "王经理", "螺母", "0.2", "3", "G2"});
        add({"B1", QDate(2026, 11, 1), "李四", "螺丝", "1.25", ""});
        add({"C1", QDate(2026, 12, 1), "李四", "螺丝", "50", "9"});
        form = std::make_unique<SalesForm>(&connection, *header, &settings);
        find<DatePicker>("FromDate")->setDate(QDate(2026, 10, 1));
        find<DatePicker>("ToDate")->setDate(QDate(2026, 11, 30));
        form->show();
    }
    template <class T> T* find(const QString& name) const {
        T* widget = form->findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QTableWidget* table() const { return find<QTableWidget>("SalesTable"); }
    QStringList row(int r) const {
        QStringList texts;
        for (int c = 0; c < table()->columnCount(); ++c)
            texts.append(table()->item(r, c)->text());
        return texts;
    }
    void group(const QString& button) const {
        QTest::mouseClick(find<QRadioButton>(button), Qt::LeftButton);
    }
    const charts::BarChart& chart() const { return find<ChartView>("SalesChart")->chart(); }
    QStringList barNames() const {
        QStringList names;
        for (const charts::BarChart::Bar& bar : chart().bars())
            names.append(bar.name);
        return names;
    }
};

QList<const report::TextOp*> textsNamed(const QList<report::DrawOp>& ops, const QString& item) {
    QList<const report::TextOp*> out;
    for (const report::DrawOp& op : ops)
        if (const auto* text = std::get_if<report::TextOp>(&op); text && text->item == item)
            out.append(text);
    return out;
}

const report::RectOp* rectNamed(const QList<report::DrawOp>& ops, const QString& item) {
    for (const report::DrawOp& op : ops)
        if (const auto* rect = std::get_if<report::RectOp>(&op); rect && rect->item == item)
            return rect;
    return nullptr;
}

} // namespace

class TestSalesForm : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { closeAllPreviews(); }

    void byMonthEveryMonthExactSumsOneBarEach() {
        SalesFixture f;
        QCOMPARE(f.form->windowTitle(), QString("销售统计"));
        QVERIFY(f.find<QRadioButton>("ByMonth")->isChecked());
        f.find<DatePicker>("ToDate")->setDate(QDate(2027, 1, 31));
        QCOMPARE(f.table()->horizontalHeaderItem(0)->text(), QString("月份"));
        QCOMPARE(f.table()->rowCount(), 5);
        QCOMPARE(f.row(0), (QStringList{"2026年10月", "1", "", "0.30"}));
        QCOMPARE(f.row(1), (QStringList{"2026年11月", "1", "", "1.25"}));
        QCOMPARE(f.row(2), (QStringList{"2026年12月", "1", "", "50.00"}));
        QCOMPARE(f.row(3), (QStringList{"2027年1月", "0", "", "0.00"}));
        QCOMPARE(f.row(4), (QStringList{"合计", "3", "", "51.55"}));
        QCOMPARE(f.table()->item(0, 3)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
        QCOMPARE(f.barNames(),
                 (QStringList{"2026年10月", "2026年11月", "2026年12月", "2027年1月"}));
        QCOMPARE(f.chart().bars().last().value, 0.0);
    }

    void byGoodsCountsQuantitiesPerUnitOnly() {
        SalesFixture f;
        f.group("ByGoods");
        QCOMPARE(f.table()->horizontalHeaderItem(1)->text(), QString("单位"));
        QCOMPARE(f.row(0), (QStringList{"G1 螺丝", "个", "2", "2", "1.35"}));
        QCOMPARE(f.row(1), (QStringList{"G2 螺母", "个", "1", "3", "0.20"}));
        QCOMPARE(f.row(2), (QStringList{"合计", "个", "2", "5", "1.55"}));
        // A box of screws is no screw: its own row, and no quantity in the total.
        LedgerRow box{"D1", QDate(2026, 11, 2), "李四", "螺丝", "30", "1"};
        box.unit = "箱";
        f.add(box);
        QTest::mouseClick(f.find<QPushButton>("RefreshButton"), Qt::LeftButton);
        QCOMPARE(f.row(0), (QStringList{"G1 螺丝", "箱", "1", "1", "30.00"}));
        QCOMPARE(f.row(3), (QStringList{"合计", "", "3", "", "31.55"}));
        // Its bar says its unit, as does the other bar of the same goods.
        QCOMPARE(f.barNames(), (QStringList{"G1 螺丝（箱）", "G1 螺丝（个）", "G2 螺母"}));
        f.group("ByCustomer");
        QCOMPARE(f.row(0).first(), QString("李四"));
        QCOMPARE(f.row(0)[2], QString());
    }

    void manyCustomersShareTheLastBar() {
        SalesFixture f;
        for (int i = 0; i < SalesReport::kMostBars + 4; ++i)
            f.add({QString("K%1").arg(i), QDate(2026, 11, 2), QString("客户%1").arg(i), "螺丝",
                   QString::number(i + 1)});
        f.group("ByCustomer");
        QCOMPARE(f.table()->rowCount(), SalesReport::kMostBars + 4 + 2 + 1);
        QCOMPARE(f.chart().bars().size(), SalesReport::kMostBars + 1);
        QCOMPARE(f.barNames().last(), QString("其他"));
        double all = 0;
        for (const charts::BarChart::Bar& bar : f.chart().bars())
            all += bar.value;
        QCOMPARE(all, 1.55 + (SalesReport::kMostBars + 4) * (SalesReport::kMostBars + 5) / 2.0);
    }

    // A bar too short for its amount carries it above its end, in ink; a tall one inside.
    void shortBarsCarryTheirAmountAbove() {
        charts::BarChart chart;
        chart.setBars({{"大客户", 100000}, {"小客户", 300}, {"退货", -2000}});
        const QList<report::DrawOp> ops = chart.draw({180, 100});
        const report::RectOp* tall = rectNamed(ops, "ChartBar1");
        const report::RectOp* small = rectNamed(ops, "ChartBar2");
        const report::RectOp* below = rectNamed(ops, "ChartBar3");
        QVERIFY(tall && small && below);
        const report::TextOp* inside = textsNamed(ops, "ChartValue1").first();
        QCOMPARE(inside->lines, QStringList{"10万"});
        QVERIFY(tall->rect.contains(inside->box));
        QCOMPARE(inside->font.color, QColor(Qt::white));
        const report::TextOp* above = textsNamed(ops, "ChartValue2").first();
        QCOMPARE(above->lines, QStringList{"300"});
        QVERIFY(above->box.bottom() <= small->rect.top());
        QVERIFY(qGray(above->font.color.rgb()) < 100);
        QVERIFY(above->font.pointSize >= 6);
        const report::TextOp* under = textsNamed(ops, "ChartValue3").first();
        QCOMPARE(under->lines, QStringList{"-2,000"});
        QVERIFY(under->box.top() >= below->rect.bottom());
        // Every name stands under its bar, centred on it.
        const report::TextOp* name = textsNamed(ops, "ChartName2").first();
        QVERIFY(qAbs(name->box.center().x() - small->rect.center().x()) < 0.01);
        QVERIFY(name->box.top() > below->rect.bottom());
        QCOMPARE(charts::BarChart::valueText(1234.5), QString("1,234.5"));
        QCOMPARE(charts::BarChart::valueText(123456789), QString("1.23亿"));
    }

    void backwardPeriodShowsNothingAndSaysSo() {
        SalesFixture f;
        ScriptedPrompts prompts;
        f.find<DatePicker>("FromDate")->setDate(QDate(2026, 12, 1));
        QCOMPARE(f.find<QLabel>("PeriodProblem")->text(), QString("起始日期不能晚于截止日期！"));
        QCOMPARE(f.table()->rowCount(), 1);
        QVERIFY(f.chart().bars().isEmpty());
        QVERIFY(prompts.shown().isEmpty()); // no box at each step of the pickers
        for (const char* b : {"PrintButton", "ExportButton", "SaveChartButton"})
            QTest::mouseClick(f.find<QPushButton>(b), Qt::LeftButton);
        QCOMPARE(prompts.texts(), QStringList(3, "起始日期不能晚于截止日期！"));
        f.find<DatePicker>("FromDate")->setDate(QDate(2026, 10, 1));
        QCOMPARE(f.find<QLabel>("PeriodProblem")->text(), QString());
        QCOMPARE(f.table()->rowCount(), 3);
    }

    void exportsAWorkbookAndSavesTheChartWithItsHeading() {
        SalesFixture f;
        QTemporaryDir dir;
        ScriptedPrompts prompts;
        prompts.answerSave(dir.filePath("统计"));
        prompts.answerSave(dir.filePath("图表.PNG"));
        QTest::mouseClick(f.find<QPushButton>("ExportButton"), Qt::LeftButton);
        QTest::mouseClick(f.find<QPushButton>("SaveChartButton"), Qt::LeftButton);
        QCOMPARE(prompts.texts("save").first(),
                 QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                     .filePath("销售统计_按月_2026-10-01_2026-11-30.xlsx"));
        // The second dialog starts in the folder chosen for the first.
        QCOMPARE(prompts.texts("save").last(),
                 QDir(dir.path()).filePath("销售统计_按月_2026-10-01_2026-11-30_图表.png"));
        QCOMPARE(prompts.saveFilters(), (QStringList{"Excel 工作簿 (*.xlsx)", "PNG 图片 (*.png)"}));
        QCOMPARE(prompts.texts("message"),
                 (QStringList{
                     "销售统计已导出到：\n" + QDir::toNativeSeparators(dir.filePath("统计.xlsx")),
                     "图表已保存到：\n" + QDir::toNativeSeparators(dir.filePath("图表.PNG"))}));
        const SpreadsheetReader sheet = SpreadsheetReader::read(dir.filePath("统计.xlsx"));
        QCOMPARE(sheet.rows.size(), 4 + 1 + 2 + 2);
        QCOMPARE(sheet.rows[0][0], QString("澄明商贸"));
        QCOMPARE(sheet.rows[2][0], QString("统计期间：2026/10/1 至 2026/11/30　分组：按月"));
        QCOMPARE(sheet.rows[4], (QStringList{"月份", "单据数", "数量", "金额"}));
        QCOMPARE(sheet.rows[8][0], QString("合计"));
        QCOMPARE(sheet.rows[8][3], QString("<float:1.55>"));
        QCOMPARE(sheet.formats[5][3], QString("#,##0.00"));
        QCOMPARE(QImage(dir.filePath("图表.PNG")).size(), QSize(1890, 1181));
        const charts::BarChart saved =
            SalesReport::chart(f.form->summary(), QDate(2026, 10, 1), QDate(2026, 11, 30), true);
        const QList<report::DrawOp> ops = saved.draw({240, 150});
        QCOMPARE(textsNamed(ops, "ChartHeading2").first()->lines,
                 QStringList{"统计期间：2026/10/1 至 2026/11/30　分组：按月"});
    }

    // The printed report: company, title, period and grouping, the table with its total, the
    // chart, and the page count at the foot.
    void printedReportHoldsTableAndChart() {
        SalesFixture f;
        f.group("ByGoods");
        const auto sheet =
            SalesReport::layout(f.form->summary(), QDate(2026, 10, 1), QDate(2026, 11, 30));
        const report::Document doc = report::generate(*sheet, SalesReport::rows(f.form->summary()),
                                                      {{"表5", f.header->read()}});
        QCOMPARE(doc.pages.size(), 1);
        const report::Page& page = doc.pages.first();
        QCOMPARE(textsNamed(page.ops, "CompanyName").first()->lines, QStringList{"澄明商贸"});
        QCOMPARE(textsNamed(page.ops, "SalesPeriod").first()->lines,
                 QStringList{"统计期间：2026/10/1 至 2026/11/30　分组：按商品"});
        QCOMPARE(textsNamed(page.ops, "RowText1").size(), 2);
        QCOMPARE(textsNamed(page.ops, "TotalText5").first()->lines, QStringList{"1.55"});
        QVERIFY(rectNamed(page.ops, "ChartBar1") && rectNamed(page.ops, "ChartBar2"));
        QVERIFY(rectNamed(page.ops, "ChartBar1")->rect.top() >
                textsNamed(page.ops, "TotalText1").first()->box.bottom());
        QCOMPARE(textsNamed(page.ops, "PageNumber").first()->lines, QStringList{"第 1 页 共 1 页"});

        // "打印" opens it in the preview.
        int pages = 0;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* preview = qobject_cast<TQRStandardPreview*>(w); preview) {
                    if (QTest::qWaitFor([&] { return preview->generationFinished(); }))
                        pages = preview->pageCount();
                    preview->close();
                }
        });
        QTest::mouseClick(f.find<QPushButton>("PrintButton"), Qt::LeftButton);
        QCOMPARE(pages, 1);
    }
};

DN_TEST_MAIN(TestSalesForm)
#include "tst_salesform.moc"
