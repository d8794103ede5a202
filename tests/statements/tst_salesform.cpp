#include "FormFixture.h"
#include "ScriptedPrompts.h"
#include "SpreadsheetReader.h"
#include "TestMain.h"

#ifdef SALES_CHART_ON_QT_CHARTS
#include "charts/BarChart.h"
#endif
#include "statements/SalesForm.h"
#include "ui/DatePicker.h"

#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

struct SalesFixture : FormFixture {
    std::unique_ptr<SalesForm> form;

    SalesFixture() {
        add({"A1", QDate(2026, 10, 30), "王经理", "螺丝", "0.1", "2"});
        add({"A1", QDate(2026, 10, 30), "王经理", "螺母", "0.2", "3", "G2"});
        add({"B1", QDate(2026, 11, 1), "李四", "螺丝", "1.25", ""});
        add({"C1", QDate(2026, 12, 1), "李四", "螺丝", "50", "9"});
        form = std::make_unique<SalesForm>(&connection);
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
};

} // namespace

class TestSalesForm : public QObject {
    Q_OBJECT
private slots:
    void byMonthTwoRowsExactSumsTwoBars() {
        SalesFixture f;
        QCOMPARE(f.form->windowTitle(), QString("销售统计"));
        QVERIFY(f.find<QRadioButton>("ByMonth")->isChecked());
        QCOMPARE(f.table()->rowCount(), 3);
        QCOMPARE(f.table()->horizontalHeaderItem(0)->text(), QString("月份"));
        QCOMPARE(f.row(0), (QStringList{"2026年10月", "1", "", "0.3"}));
        QCOMPARE(f.row(1), (QStringList{"2026年11月", "1", "", "1.25"}));
        QCOMPARE(f.row(2), (QStringList{"合计", "2", "", "1.55"}));
#ifdef SALES_CHART_ON_QT_CHARTS
        auto* chart = f.find<BarChart>("SalesChart");
        QCOMPARE(chart->barCount(), 2);
        QCOMPARE(chart->categories(), (QStringList{"2026年10月", "2026年11月"}));
        QCOMPARE(chart->values(), (QList<double>{0.3, 1.25}));
#endif
    }

    void byGoodsShowsQuantitiesAndFollowsThePeriod() {
        SalesFixture f;
        f.group("ByGoods");
        QCOMPARE(f.table()->horizontalHeaderItem(0)->text(), QString("商品"));
        QCOMPARE(f.row(0), (QStringList{"G1 螺丝", "2", "2", "1.35"}));
        QCOMPARE(f.row(1), (QStringList{"G2 螺母", "1", "3", "0.2"}));
        QCOMPARE(f.row(2), (QStringList{"合计", "2", "5", "1.55"}));
        f.find<DatePicker>("ToDate")->setDate(QDate(2026, 12, 31));
        QCOMPARE(f.row(0), (QStringList{"G1 螺丝", "3", "11", "51.35"}));
        f.group("ByCustomer");
        QCOMPARE(f.row(0).first(), QString("李四"));
        QCOMPARE(f.row(0)[2], QString());
    }

    void manyCustomersShareTheLastBar() {
        SalesFixture f;
        for (int i = 0; i < SalesForm::kMostBars + 4; ++i)
            f.add({QString("K%1").arg(i), QDate(2026, 11, 2), QString("客户%1").arg(i), "螺丝",
                   QString::number(i + 1)});
        f.group("ByCustomer");
        QCOMPARE(f.table()->rowCount(), SalesForm::kMostBars + 4 + 2 + 1);
#ifdef SALES_CHART_ON_QT_CHARTS
        auto* chart = f.find<BarChart>("SalesChart");
        QCOMPARE(chart->barCount(), SalesForm::kMostBars + 1);
        QCOMPARE(chart->categories().last(), QString("其他"));
        double all = 0;
        for (double v : chart->values())
            all += v;
        QCOMPARE(all, 1.55 + (SalesForm::kMostBars + 4) * (SalesForm::kMostBars + 5) / 2.0);
#endif
    }

    void exportsTheTableAndSavesTheChart() {
        SalesFixture f;
        QTemporaryDir dir;
        ScriptedPrompts prompts;
        prompts.answerSave(dir.filePath("统计"));
        prompts.answerSave(dir.filePath("图表"));
        QTest::mouseClick(f.find<QPushButton>("ExportButton"), Qt::LeftButton);
#ifdef SALES_CHART_ON_QT_CHARTS
        QTest::mouseClick(f.find<QPushButton>("SaveChartButton"), Qt::LeftButton);
        QCOMPARE(prompts.texts("message"), (QStringList{"成功导出全部数据!", "图表已保存！"}));
#else
        QCOMPARE(prompts.texts("message"), (QStringList{"成功导出全部数据!"}));
#endif
        const SpreadsheetReader sheet = SpreadsheetReader::read(dir.filePath("统计.xls"));
        QCOMPARE(sheet.rows.size(), 4);
        QCOMPARE(sheet.rows[0], (QStringList{"月份", "单据数", "数量", "金额"}));
        QCOMPARE(sheet.rows[3][0], QString("合计"));
        QCOMPARE(sheet.columnSum(3), QString("3.1"));
#ifdef SALES_CHART_ON_QT_CHARTS
        const QImage png(dir.filePath("图表.png"));
        QCOMPARE(png.size(), f.find<BarChart>("SalesChart")->size());
#endif
    }
};

DN_TEST_MAIN(TestSalesForm)
#include "tst_salesform.moc"
