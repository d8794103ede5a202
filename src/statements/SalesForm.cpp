#include "statements/SalesForm.h"

#ifdef SALES_CHART_ON_QT_CHARTS
#include "charts/BarChart.h"
#endif
#include "data/NumberText.h"
#include "export/SpreadsheetFile.h"
#include "statements/PeriodPickers.h"
#include "ui/DatePicker.h"
#include "ui/Guard.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTableWidget>

namespace {

QString groupHeading(SalesSummary::Grouping grouping) {
    switch (grouping) {
    case SalesSummary::Grouping::Month:
        return QStringLiteral("月份");
    case SalesSummary::Grouping::Customer:
        return QStringLiteral("客户");
    case SalesSummary::Grouping::Goods:
        break;
    }
    return QStringLiteral("商品");
}

QStringList headings(SalesSummary::Grouping grouping) {
    return {groupHeading(grouping), QStringLiteral("单据数"), QStringLiteral("数量"),
            QStringLiteral("金额")};
}

bool showsQuantity(SalesSummary::Grouping grouping) {
    return grouping == SalesSummary::Grouping::Goods;
}

double money(qint64 tenThousandths) {
    return static_cast<double>(tenThousandths) / 10000.0;
}

QPushButton* button(QWidget* owner, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, owner);
    b->setObjectName(name);
    return b;
}

} // namespace

SalesForm::SalesForm(Connection* connection, QWidget* parent)
    : QWidget(parent, Qt::Window), connection_(connection) {
    setObjectName(QStringLiteral("SalesForm"));
    setWindowTitle(QStringLiteral("销售统计"));
    resize(900, 640);

    auto* grid = new QGridLayout(this);
    const QDate today = QDate::currentDate();
    period_ = std::make_unique<PeriodPickers>(this, grid, 0, QDate(today.year(), 1, 1), today);

    auto* choices = new QHBoxLayout;
    grouping_ = new QButtonGroup(this);
    const struct {
        const char* name;
        const char16_t* caption;
        SalesSummary::Grouping grouping;
    } groupings[] = {{"ByMonth", u"按月", SalesSummary::Grouping::Month},
                     {"ByCustomer", u"按客户", SalesSummary::Grouping::Customer},
                     {"ByGoods", u"按商品", SalesSummary::Grouping::Goods}};
    for (const auto& g : groupings) {
        auto* choice = new QRadioButton(QString::fromUtf16(g.caption), this);
        choice->setObjectName(QString::fromLatin1(g.name));
        grouping_->addButton(choice, static_cast<int>(g.grouping));
        choices->addWidget(choice);
    }
    grouping_->button(static_cast<int>(SalesSummary::Grouping::Month))->setChecked(true);
    choices->addStretch();
    QPushButton* refresh = button(this, QStringLiteral("RefreshButton"), QStringLiteral("统计"));
    QPushButton* exportButton =
        button(this, QStringLiteral("ExportButton"), QStringLiteral("导出"));
    QPushButton* saveChart =
        button(this, QStringLiteral("SaveChartButton"), QStringLiteral("保存图表"));
    for (QPushButton* b : {refresh, exportButton, saveChart})
        choices->addWidget(b);
#ifndef SALES_CHART_ON_QT_CHARTS
    saveChart->hide();
#endif
    grid->addLayout(choices, 1, 0, 1, 5);
    grid->setColumnStretch(4, 1);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    table_ = new QTableWidget(splitter);
    table_->setObjectName(QStringLiteral("SalesTable"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->horizontalHeader()->setStretchLastSection(true);
    splitter->addWidget(table_);
#ifdef SALES_CHART_ON_QT_CHARTS
    chart_ = new BarChart(splitter);
    chart_->setObjectName(QStringLiteral("SalesChart"));
    splitter->addWidget(chart_);
    splitter->setSizes({260, 340});
#endif
    grid->addWidget(splitter, 2, 0, 1, 5);

    const auto refreshSlot = guardedSlot(this, [this] { RefreshClick(); });
    connect(refresh, &QPushButton::clicked, this, refreshSlot);
    connect(grouping_, &QButtonGroup::idClicked, this, refreshSlot);
    connect(period_->fromPicker(), &QDateEdit::dateChanged, this, refreshSlot);
    connect(period_->toPicker(), &QDateEdit::dateChanged, this, refreshSlot);
    connect(exportButton, &QPushButton::clicked, this,
            guardedSlot(this, [this] { ExportClick(); }));
    connect(saveChart, &QPushButton::clicked, this,
            guardedSlot(this, [this] { SaveChartClick(); }));
}

SalesForm::~SalesForm() = default;

SalesSummary::Grouping SalesForm::grouping() const {
    return static_cast<SalesSummary::Grouping>(grouping_->checkedId());
}

void SalesForm::RefreshClick() {
    // A period that ends before it starts shows nothing rather than a box at every date step.
    summary_ = period_->problem().isEmpty()
                   ? SalesReader(connection_).read(period_->from(), period_->to(), grouping())
                   : SalesSummary{grouping(), {}, {QStringLiteral("合计"), 0, 0, 0}};
    fillTable();
    fillChart();
}

void SalesForm::fillTable() {
    const bool quantity = showsQuantity(summary_.grouping);
    table_->clear();
    table_->setColumnCount(4);
    table_->setHorizontalHeaderLabels(headings(summary_.grouping));
    table_->setRowCount(static_cast<int>(summary_.rows.size()) + 1);
    auto put = [this, quantity](int row, const SalesSummary::Row& sums) {
        const QStringList texts = {sums.group, QString::number(sums.bills),
                                   quantity ? NumberText::displayTenThousandths(sums.quantity)
                                            : QString(),
                                   NumberText::displayTenThousandths(sums.amount)};
        for (int column = 0; column < texts.size(); ++column) {
            auto* cell = new QTableWidgetItem(texts[column]);
            if (column > 0)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, column, cell);
        }
    };
    int row = 0;
    for (const SalesSummary::Row& sums : summary_.rows)
        put(row++, sums);
    put(row, summary_.total);
    QFont bold = table_->font();
    bold.setBold(true);
    for (int column = 0; column < 4; ++column)
        table_->item(row, column)->setFont(bold);
    table_->setColumnWidth(0, 260);
}

void SalesForm::fillChart() {
#ifdef SALES_CHART_ON_QT_CHARTS
    QStringList names;
    QList<double> amounts;
    qint64 rest = 0;
    const bool capped = summary_.grouping != SalesSummary::Grouping::Month;
    for (qsizetype i = 0; i < summary_.rows.size(); ++i) {
        const SalesSummary::Row& sums = summary_.rows[i];
        if (capped && i >= kMostBars) {
            rest += sums.amount;
            continue;
        }
        names.append(sums.group);
        amounts.append(money(sums.amount));
    }
    if (capped && summary_.rows.size() > kMostBars) {
        names.append(QStringLiteral("其他"));
        amounts.append(money(rest));
    }
    chart_->setBars(QStringLiteral("金额"), names, amounts);
#endif
}

void SalesForm::ExportClick() {
    const QString chosen = Prompts::instance().saveFileName(this);
    if (chosen.isEmpty())
        return;
    const bool quantity = showsQuantity(summary_.grouping);
    QList<QList<SheetCell>> cells;
    auto line = [&](const SalesSummary::Row& sums) {
        cells.append({SheetCell::ofText(sums.group), SheetCell::ofNumber(sums.bills),
                      quantity ? SheetCell::ofNumber(money(sums.quantity)) : SheetCell(),
                      SheetCell::ofNumber(money(sums.amount))});
    };
    for (const SalesSummary::Row& sums : summary_.rows)
        line(sums);
    line(summary_.total);
    SpreadsheetFile::writeTable(headings(summary_.grouping), cells,
                                chosen + QStringLiteral(".xls"));
    Prompts::instance().message(this, QStringLiteral("成功导出全部数据!"));
}

void SalesForm::SaveChartClick() {
#ifdef SALES_CHART_ON_QT_CHARTS
    QString chosen = Prompts::instance().saveFileName(this);
    if (chosen.isEmpty())
        return;
    if (!chosen.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        chosen += QStringLiteral(".png");
    chart_->savePng(chosen);
    Prompts::instance().message(this, QStringLiteral("图表已保存！"));
#endif
}
