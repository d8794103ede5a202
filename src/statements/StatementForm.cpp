#include "statements/StatementForm.h"

#include "printing/NoteHeader.h"
#include "printing/ReportPreview.h"
#include "printing/StatementReport.h"
#include "statements/PeriodPickers.h"
#include "statements/SaveLocation.h"
#include "statements/StatementBatch.h"
#include "statements/StatementSheet.h"
#include "ui/Guard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
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

QString withXlsx(const QString& fileName) {
    return fileName.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)
               ? fileName
               : fileName + QStringLiteral(".xlsx");
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
    customer_->setMinimumWidth(360);
    grid->addWidget(new QLabel(QStringLiteral("客户："), this), 0, 0);
    grid->addWidget(customer_, 0, 1, 1, 3);
    const auto [from, to] = PeriodPickers::previousMonth(QDate::currentDate());
    period_ = std::make_unique<PeriodPickers>(this, grid, 1, from, to);
    details_ = new QCheckBox(QStringLiteral("显示明细"), this);
    details_->setObjectName(QStringLiteral("DetailsBox"));
    grid->addWidget(details_, 2, 1, 1, 3);

    auto* buttons = new QHBoxLayout;
    QPushButton* batch = button(this, QStringLiteral("BatchButton"), QStringLiteral("批量对账单"));
    buttons->addWidget(batch);
    buttons->addStretch();
    QPushButton* preview = button(this, QStringLiteral("PreviewButton"), QStringLiteral("预览"));
    QPushButton* exportButton =
        button(this, QStringLiteral("ExportButton"), QStringLiteral("导出"));
    QPushButton* close = button(this, QStringLiteral("CloseButton"), QStringLiteral("关闭"));
    for (QPushButton* b : {preview, exportButton, close})
        buttons->addWidget(b);
    grid->addLayout(buttons, 3, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    connect(preview, &QPushButton::clicked, this, guardedSlot(this, [this] { PreviewClick(); }));
    connect(exportButton, &QPushButton::clicked, this,
            guardedSlot(this, [this] { ExportClick(); }));
    connect(batch, &QPushButton::clicked, this, guardedSlot(this, [this] { BatchClick(); }));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    customers_ = StatementReader(connection_).customers();
    for (const Customer& c : std::as_const(customers_))
        customer_->addItem(c.label());
    customer_->setCurrentIndex(-1);
    // Typing any part of the contact, address or telephone narrows the list.
    customer_->completer()->setFilterMode(Qt::MatchContains);
    customer_->completer()->setCompletionMode(QCompleter::PopupCompletion);
}

StatementForm::~StatementForm() = default;

std::optional<Customer> StatementForm::customer() {
    const QString text = customer_->currentText().trimmed();
    if (text.isEmpty()) {
        Prompts::instance().message(this, QStringLiteral("请选择客户！"));
        return std::nullopt;
    }
    const int exact = customer_->findText(text);
    if (exact >= 0)
        return customers_.at(exact);
    // A contact typed alone names the customer when only one customer has it.
    std::optional<Customer> only;
    for (const Customer& c : std::as_const(customers_)) {
        if (c.contact.compare(text, Qt::CaseInsensitive) != 0)
            continue;
        if (only) {
            Prompts::instance().message(
                this,
                QStringLiteral("有几位客户的联系人都是“%1”，请从列表中选择其中一位！").arg(text));
            return std::nullopt;
        }
        only = c;
    }
    if (!only)
        Prompts::instance().message(
            this, QStringLiteral("没有联系人为“%1”的客户，请从列表中选择客户！").arg(text));
    return only;
}

std::optional<Statement> StatementForm::read() {
    const std::optional<Customer> chosen = customer();
    if (!chosen)
        return std::nullopt;
    if (const QString problem = period_->problem(); !problem.isEmpty()) {
        Prompts::instance().message(this, problem);
        return std::nullopt;
    }
    return StatementReader(connection_).read(*chosen, period_->from(), period_->to());
}

void StatementForm::PreviewClick() {
    const std::optional<Statement> statement = read();
    if (!statement)
        return;
    const bool details = details_->isChecked();
    const auto sheet = StatementReport::layout(*statement, details, Capitals::chosen());
    previewReport(*sheet, StatementReport::rows(*statement, details),
                  {{QStringLiteral("表5"), header_.read()}}, printerSettings_);
}

void StatementForm::ExportClick() {
    const std::optional<Statement> statement = read();
    if (!statement)
        return;
    const QString chosen = Prompts::instance().saveFileNameAt(
        this, SaveLocation::suggested(StatementReport::fileBase(*statement) + ".xlsx"),
        QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (chosen.isEmpty())
        return;
    const QString file = withXlsx(chosen);
    const report::RowTable company = header_.read();
    StatementSheet::write(*statement, details_->isChecked(),
                          company.value(0, company.column(QStringLiteral("公司名称"))), file);
    SaveLocation::rememberFile(file);
    Prompts::instance().message(
        this, QStringLiteral("对账单已导出到：\n%1").arg(QDir::toNativeSeparators(file)));
}

void StatementForm::BatchClick() {
    const QString problem = period_->problem();
    if (!problem.isEmpty()) {
        Prompts::instance().message(this, problem);
        return;
    }
    const QList<Statement> statements =
        StatementReader(connection_).readAll(period_->from(), period_->to());
    if (statements.isEmpty()) {
        Prompts::instance().message(this, QStringLiteral("这段时间没有客户的送货单据！"));
        return;
    }
    const QString folder = Prompts::instance().folderName(this, SaveLocation::folder());
    if (folder.isEmpty())
        return;
    SaveLocation::rememberFolder(folder);
    const StatementBatch batch(statements, details_->isChecked(), header_.read());
    const int written = batch.write(folder, this);
    const QString where = QDir::toNativeSeparators(folder);
    Prompts::instance().message(
        this, written == statements.size()
                  ? QStringLiteral("已生成 %1 份对账单，保存在：\n%2").arg(written).arg(where)
                  : QStringLiteral("已停止：生成了 %1 份对账单（共 %2 份），保存在：\n%3")
                        .arg(written)
                        .arg(statements.size())
                        .arg(where));
}
