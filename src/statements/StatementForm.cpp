#include "statements/StatementForm.h"

#include "export/SpreadsheetFile.h"
#include "printing/NoteHeader.h"
#include "printing/ReportPreview.h"
#include "printing/StatementReport.h"
#include "statements/PeriodPickers.h"
#include "ui/Guard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QPushButton* button(QWidget* owner, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, owner);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

SheetCell number(const std::optional<double>& value) {
    return value ? SheetCell::ofNumber(*value) : SheetCell();
}

} // namespace

StatementForm::StatementForm(Connection* connection, const NoteHeader& header,
                             PrintSettings* printerSettings, QWidget* parent)
    : QDialog(parent), connection_(connection), header_(header), printerSettings_(printerSettings) {
    setObjectName(QStringLiteral("StatementForm"));
    setWindowTitle(QStringLiteral("对账单"));
    setWindowModality(Qt::WindowModal);

    auto* grid = new QGridLayout(this);
    customer_ = new QComboBox(this);
    customer_->setObjectName(QStringLiteral("CustomerBox"));
    customer_->setEditable(true);
    customer_->setInsertPolicy(QComboBox::NoInsert);
    customer_->setMinimumWidth(180);
    grid->addWidget(new QLabel(QStringLiteral("客户"), this), 0, 0);
    grid->addWidget(customer_, 0, 1, 1, 3);
    const auto [from, to] = PeriodPickers::previousMonth(QDate::currentDate());
    period_ = std::make_unique<PeriodPickers>(this, grid, 1, from, to);
    details_ = new QCheckBox(QStringLiteral("显示明细"), this);
    details_->setObjectName(QStringLiteral("DetailsBox"));
    grid->addWidget(details_, 2, 1, 1, 3);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* preview = button(this, QStringLiteral("PreviewButton"), QStringLiteral("预览"));
    QPushButton* exportButton =
        button(this, QStringLiteral("ExportButton"), QStringLiteral("导出"));
    QPushButton* close = button(this, QStringLiteral("CloseButton"), QStringLiteral("关闭"));
    for (QPushButton* b : {preview, exportButton, close})
        buttons->addWidget(b);
    grid->addLayout(buttons, 3, 0, 1, 4);

    connect(preview, &QPushButton::clicked, this, guardedSlot(this, [this] { PreviewClick(); }));
    connect(exportButton, &QPushButton::clicked, this,
            guardedSlot(this, [this] { ExportClick(); }));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    customer_->addItems(StatementReader(connection_).customers());
    customer_->setCurrentIndex(-1);
}

StatementForm::~StatementForm() = default;

std::optional<Statement> StatementForm::read() {
    const QString customer = customer_->currentText();
    QString problem = period_->problem();
    if (customer.isEmpty())
        problem = QStringLiteral("请选择客户！");
    if (!problem.isEmpty()) {
        Prompts::instance().message(this, problem);
        return std::nullopt;
    }
    return StatementReader(connection_).read(customer, period_->from(), period_->to());
}

void StatementForm::PreviewClick() {
    const std::optional<Statement> statement = read();
    if (!statement)
        return;
    const bool details = details_->isChecked();
    const auto sheet = StatementReport::layout(*statement, details);
    previewReport(*sheet, StatementReport::rows(*statement, details),
                  {{QStringLiteral("表5"), header_.read()}}, printerSettings_);
}

void StatementForm::ExportClick() {
    const std::optional<Statement> statement = read();
    if (!statement)
        return;
    const QString chosen = Prompts::instance().saveFileName(this);
    if (chosen.isEmpty())
        return;
    const bool details = details_->isChecked();
    const report::RowTable table = StatementReport::rows(*statement, details);
    const qsizetype amount = table.column(QStringLiteral("金额"));
    // The report's rows as cells: dates as dates, counts and money as numbers.
    QList<QList<SheetCell>> cells;
    for (const Statement::Bill& bill : statement->bills) {
        QList<SheetCell> line(table.fields.size());
        line[0] = SheetCell::ofDate(bill.date);
        line[1] = SheetCell::ofText(bill.number);
        line[2] = SheetCell::ofNumber(static_cast<double>(bill.items.size()));
        line[amount] = SheetCell::ofNumber(static_cast<double>(bill.total) / 10000.0);
        cells.append(line);
        if (!details)
            continue;
        for (const Statement::Item& item : bill.items) {
            QList<SheetCell> line(table.fields.size());
            line[3] = SheetCell::ofText(item.goods);
            line[4] = SheetCell::ofText(item.model);
            line[5] = SheetCell::ofText(item.unit);
            line[6] = number(item.quantity);
            line[7] = number(item.price);
            line[8] = number(item.amount);
            cells.append(line);
        }
    }
    QList<SheetCell> total(table.fields.size());
    total[0] = SheetCell::ofText(QStringLiteral("本期合计"));
    total[amount] = SheetCell::ofNumber(static_cast<double>(statement->total) / 10000.0);
    cells.append(total);
    SpreadsheetFile::writeTable(table.fields, cells, chosen + QStringLiteral(".xls"));
    Prompts::instance().message(this, QStringLiteral("成功导出全部数据!"));
}
