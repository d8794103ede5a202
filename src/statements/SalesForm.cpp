#include "statements/SalesForm.h"

#include "charts/ChartPicture.h"
#include "export/SpreadsheetFile.h"
#include "printing/NoteHeader.h"
#include "printing/ReportPreview.h"
#include "statements/ChartView.h"
#include "statements/PeriodPickers.h"
#include "statements/SalesReport.h"
#include "statements/SaveLocation.h"
#include "ui/DatePicker.h"
#include "ui/Guard.h"

#include <QButtonGroup>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTableWidget>

namespace {

using Grouping = SalesSummary::Grouping;

// The saved chart: a landscape half page at print resolution.
const QSizeF kPictureMm(240, 150);
constexpr int kPictureDpi = 200;

double money(qint64 tenThousandths) {
    return static_cast<double>(tenThousandths) / 10000.0;
}

QPushButton* button(QWidget* owner, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, owner);
    b->setObjectName(name);
    return b;
}

QString withSuffix(const QString& fileName, const QString& suffix) {
    return fileName.endsWith(suffix, Qt::CaseInsensitive) ? fileName : fileName + suffix;
}

} // namespace

SalesForm::SalesForm(Connection* connection, const NoteHeader& header,
                     PrintSettings* printerSettings, QWidget* parent)
    : QWidget(parent, Qt::Window), connection_(connection), header_(header),
      printerSettings_(printerSettings) {
    setObjectName(QStringLiteral("SalesForm"));
    setWindowTitle(QStringLiteral("销售统计"));
    resize(900, 640);

    auto* grid = new QGridLayout(this);
    const QDate today = QDate::currentDate();
    period_ = std::make_unique<PeriodPickers>(this, grid, 0, QDate(today.year(), 1, 1), today);
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("PeriodProblem"));
    problem_->setStyleSheet(QStringLiteral("color: #c00000;"));
    grid->addWidget(problem_, 0, 4);

    auto* choices = new QHBoxLayout;
    grouping_ = new QButtonGroup(this);
    const struct {
        const char* name;
        Grouping grouping;
    } groupings[] = {{"ByMonth", Grouping::Month},
                     {"ByCustomer", Grouping::Customer},
                     {"ByGoods", Grouping::Goods}};
    for (const auto& g : groupings) {
        auto* choice = new QRadioButton(SalesReport::groupingName(g.grouping), this);
        choice->setObjectName(QString::fromLatin1(g.name));
        grouping_->addButton(choice, static_cast<int>(g.grouping));
        choices->addWidget(choice);
    }
    grouping_->button(static_cast<int>(Grouping::Month))->setChecked(true);
    choices->addStretch();
    QPushButton* refresh = button(this, QStringLiteral("RefreshButton"), QStringLiteral("统计"));
    QPushButton* print = button(this, QStringLiteral("PrintButton"), QStringLiteral("打印"));
    QPushButton* exportButton =
        button(this, QStringLiteral("ExportButton"), QStringLiteral("导出"));
    QPushButton* saveChart =
        button(this, QStringLiteral("SaveChartButton"), QStringLiteral("保存图表"));
    for (QPushButton* b : {refresh, print, exportButton, saveChart})
        choices->addWidget(b);
    grid->addLayout(choices, 1, 0, 1, 5);
    grid->setColumnStretch(4, 1);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    table_ = new QTableWidget(splitter);
    table_->setObjectName(QStringLiteral("SalesTable"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->horizontalHeader()->setStretchLastSection(true);
    chart_ = new ChartView(splitter);
    chart_->setObjectName(QStringLiteral("SalesChart"));
    splitter->addWidget(table_);
    splitter->addWidget(chart_);
    splitter->setSizes({260, 340});
    grid->addWidget(splitter, 2, 0, 1, 5);

    const auto refreshSlot = guardedSlot(this, [this] { RefreshClick(); });
    connect(refresh, &QPushButton::clicked, this, refreshSlot);
    connect(grouping_, &QButtonGroup::idClicked, this, refreshSlot);
    connect(period_->fromPicker(), &QDateEdit::dateChanged, this, refreshSlot);
    connect(period_->toPicker(), &QDateEdit::dateChanged, this, refreshSlot);
    connect(print, &QPushButton::clicked, this, guardedSlot(this, [this] { PrintClick(); }));
    connect(exportButton, &QPushButton::clicked, this,
            guardedSlot(this, [this] { ExportClick(); }));
    connect(saveChart, &QPushButton::clicked, this,
            guardedSlot(this, [this] { SaveChartClick(); }));
}

SalesForm::~SalesForm() = default;

Grouping SalesForm::grouping() const {
    return static_cast<Grouping>(grouping_->checkedId());
}

void SalesForm::RefreshClick() {
    // A period that ends before it starts shows nothing; the line beside the dates says why
    // without a box at every step of the date pickers.
    const QString problem = period_->problem();
    problem_->setText(problem);
    if (problem.isEmpty()) {
        summary_ = SalesReader(connection_).read(period_->from(), period_->to(), grouping());
    } else {
        summary_ = SalesSummary();
        summary_.grouping = grouping();
        summary_.total.group = QStringLiteral("合计");
    }
    fillTable();
    chart_->setChart(SalesReport::chart(summary_, period_->from(), period_->to(), false));
}

bool SalesForm::periodAccepted() {
    const QString problem = period_->problem();
    if (!problem.isEmpty())
        Prompts::instance().message(this, problem);
    return problem.isEmpty();
}

void SalesForm::fillTable() {
    const QStringList headings = SalesReport::headings(summary_.grouping);
    const auto columns = static_cast<int>(headings.size());
    table_->clear();
    table_->setColumnCount(columns);
    table_->setHorizontalHeaderLabels(headings);
    table_->setRowCount(static_cast<int>(summary_.rows.size()) + 1);
    auto put = [this, columns](int row, const SalesSummary::Row& sums) {
        const QStringList texts = SalesReport::texts(sums, summary_.grouping);
        for (int column = 0; column < columns; ++column) {
            auto* cell = new QTableWidgetItem(texts[column]);
            if (SalesReport::isFigure(summary_.grouping, column))
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, column, cell);
        }
    };
    int row = 0;
    for (const SalesSummary::Row& sums : std::as_const(summary_.rows))
        put(row++, sums);
    put(row, summary_.total);
    QFont bold = table_->font();
    bold.setBold(true);
    for (int column = 0; column < columns; ++column)
        table_->item(row, column)->setFont(bold);
    table_->setColumnWidth(0, 260);
}

void SalesForm::PrintClick() {
    if (!periodAccepted())
        return;
    const auto sheet = SalesReport::layout(summary_, period_->from(), period_->to());
    previewReport(*sheet, SalesReport::rows(summary_), {{QStringLiteral("表5"), header_.read()}},
                  printerSettings_);
}

void SalesForm::ExportClick() {
    if (!periodAccepted())
        return;
    const QString chosen = Prompts::instance().saveFileNameAt(
        this,
        SaveLocation::suggested(
            SalesReport::fileBase(summary_.grouping, period_->from(), period_->to()) + ".xlsx"),
        QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (chosen.isEmpty())
        return;
    const QString file = withSuffix(chosen, QStringLiteral(".xlsx"));
    const bool goods = summary_.grouping == Grouping::Goods;
    QList<QList<SheetCell>> cells;
    auto line = [&](const SalesSummary::Row& sums) {
        QList<SheetCell> row{SheetCell::ofText(sums.group)};
        if (goods)
            row.append(sums.counted ? SheetCell::ofText(sums.unit) : SheetCell());
        row << SheetCell::ofNumber(sums.bills)
            << (sums.counted ? SheetCell::ofNumber(money(sums.quantity)) : SheetCell())
            << SheetCell::ofMoney(money(sums.amount));
        cells.append(row);
    };
    for (const SalesSummary::Row& sums : std::as_const(summary_.rows))
        line(sums);
    cells.append(QList<SheetCell>());
    line(summary_.total);
    const report::RowTable company = header_.read();
    SpreadsheetFile::writeTable(
        SalesReport::headings(summary_.grouping), cells, file,
        {company.value(0, company.column(QStringLiteral("公司名称"))), QStringLiteral("销售统计"),
         SalesReport::periodLine(summary_.grouping, period_->from(), period_->to()), QString()});
    SaveLocation::rememberFile(file);
    Prompts::instance().message(
        this, QStringLiteral("销售统计已导出到：\n%1").arg(QDir::toNativeSeparators(file)));
}

void SalesForm::SaveChartClick() {
    if (!periodAccepted())
        return;
    const QString chosen = Prompts::instance().saveFileNameAt(
        this,
        SaveLocation::suggested(
            SalesReport::fileBase(summary_.grouping, period_->from(), period_->to()) +
            QStringLiteral("_图表.png")),
        QStringLiteral("PNG 图片 (*.png)"));
    if (chosen.isEmpty())
        return;
    const QString file = withSuffix(chosen, QStringLiteral(".png"));
    ChartPicture::savePng(SalesReport::chart(summary_, period_->from(), period_->to(), true),
                          kPictureMm, kPictureDpi, file);
    SaveLocation::rememberFile(file);
    Prompts::instance().message(
        this, QStringLiteral("图表已保存到：\n%1").arg(QDir::toNativeSeparators(file)));
}
