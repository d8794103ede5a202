#include "receivables/ReceivablesWindow.h"

#include "export/SpreadsheetFile.h"
#include "ledger/MoneyText.h"
#include "printing/NoteHeader.h"
#include "printing/ReportPreview.h"
#include "printing/TableReport.h"
#include "receivables/AccountDialog.h"
#include "receivables/CreditDialog.h"
#include "receivables/PaymentForm.h"
#include "statements/SaveLocation.h"
#include "ui/Guard.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column {
    Name,
    Delivered,
    Received,
    Balance,
    Oldest,
    Age0,
    Age1,
    Age2,
    Age3,
    Limit,
    Terms,
    Over,
    Count
};
const int kMoneyColumns[] = {Delivered, Received, Balance, Age0, Age1, Age2, Age3, Limit};

QString shortDate(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("yyyy/M/d")) : QString();
}

QPushButton* button(QWidget* owner, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, owner);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

double yuan(qint64 fen) {
    return static_cast<double>(fen) / 100.0;
}

} // namespace

ReceivablesWindow::ReceivablesWindow(Connection* connection, const NoteHeader& header,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window), connection_(connection), header_(header) {
    setObjectName(QStringLiteral("ReceivablesWindow"));
    setWindowTitle(QStringLiteral("应收款"));
    resize(1180, 600);
    auto* layout = new QVBoxLayout(this);
    asOf_ = new QLabel(this);
    asOf_->setObjectName(QStringLiteral("AsOfLabel"));
    layout->addWidget(asOf_);
    table_ = new QTableWidget(0, Count, this);
    table_->setObjectName(QStringLiteral("ReceivablesTable"));
    table_->setHorizontalHeaderLabels(headings());
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(24);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setColumnWidth(Name, 230);
    for (int c = Delivered; c < Count; ++c)
        table_->setColumnWidth(c, 86);
    table_->setColumnWidth(Terms, 54);
    table_->setColumnWidth(Over, 44);
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);

    auto* buttons = new QHBoxLayout;
    QPushButton* pay = button(this, QStringLiteral("NewPaymentButton"), QStringLiteral("收款"));
    QPushButton* account = button(this, QStringLiteral("AccountButton"), QStringLiteral("明细"));
    QPushButton* credit = button(this, QStringLiteral("CreditButton"), QStringLiteral("信用额度"));
    QPushButton* exportButton =
        button(this, QStringLiteral("ExportButton"), QStringLiteral("导出"));
    QPushButton* print = button(this, QStringLiteral("PrintButton"), QStringLiteral("打印"));
    QPushButton* refresh = button(this, QStringLiteral("RefreshButton"), QStringLiteral("刷新"));
    QPushButton* close = button(this, QStringLiteral("CloseButton"), QStringLiteral("关闭"));
    for (QPushButton* b : {pay, account, credit})
        buttons->addWidget(b);
    buttons->addStretch();
    for (QPushButton* b : {exportButton, print, refresh, close})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(pay, &QPushButton::clicked, this, guardedSlot(this, [this] { PaymentClick(); }));
    connect(account, &QPushButton::clicked, this, guardedSlot(this, [this] { AccountClick(); }));
    connect(table_, &QTableWidget::cellDoubleClicked, this,
            guardedSlot(this, [this] { AccountClick(); }));
    connect(credit, &QPushButton::clicked, this, guardedSlot(this, [this] { CreditClick(); }));
    connect(exportButton, &QPushButton::clicked, this,
            guardedSlot(this, [this] { ExportClick(); }));
    connect(print, &QPushButton::clicked, this, guardedSlot(this, [this] { PrintClick(); }));
    connect(refresh, &QPushButton::clicked, this, guardedSlot(this, [this] { RefreshClick(); }));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

ReceivablesWindow::~ReceivablesWindow() = default;

QStringList ReceivablesWindow::headings() {
    return {QStringLiteral("客户"),     QStringLiteral("送货金额"), QStringLiteral("已收金额"),
            QStringLiteral("欠款余额"), QStringLiteral("最早未收"), QStringLiteral("0-30天"),
            QStringLiteral("31-60天"),  QStringLiteral("61-90天"),  QStringLiteral("90天以上"),
            QStringLiteral("信用额度"), QStringLiteral("账期(天)"), QStringLiteral("超额")};
}

QList<QStringList> ReceivablesWindow::texts(const QList<Receivable>& rows) {
    QList<QStringList> out;
    // An empty ageing bucket stays blank, so the amounts owed stand out.
    const auto age = [](qint64 fen) { return fen ? MoneyText::ofFen(fen) : QString(); };
    for (const Receivable& r : rows) {
        out.append({r.customer.label(), MoneyText::ofFen(r.delivered), MoneyText::ofFen(r.received),
                    MoneyText::ofFen(r.balance), shortDate(r.oldestUnpaid), age(r.ageing[0]),
                    age(r.ageing[1]), age(r.ageing[2]), age(r.ageing[3]),
                    r.limit ? MoneyText::ofFen(*r.limit) : QString(),
                    r.termDays ? QString::number(r.termDays) : QString(),
                    r.overLimit() ? QStringLiteral("超额") : QString()});
    }
    const Receivable sum = Receivables::total(rows);
    out.append({QStringLiteral("合计（%1 位客户）").arg(rows.size()),
                MoneyText::ofFen(sum.delivered), MoneyText::ofFen(sum.received),
                MoneyText::ofFen(sum.balance), QString(), MoneyText::ofFen(sum.ageing[0]),
                MoneyText::ofFen(sum.ageing[1]), MoneyText::ofFen(sum.ageing[2]),
                MoneyText::ofFen(sum.ageing[3]), QString(), QString(), QString()});
    return out;
}

void ReceivablesWindow::RefreshClick() {
    customers_ = std::make_unique<Customers>(connection_);
    today_ = QDate::currentDate();
    rows_ = Receivables::read(connection_, *customers_, today_);
    asOf_->setText(QStringLiteral("截至 %1，账龄按单据日期计算。双击客户查看其单据和收款。")
                       .arg(shortDate(today_)));
    const QList<QStringList> texts = ReceivablesWindow::texts(rows_);
    table_->setRowCount(0);
    table_->setRowCount(static_cast<int>(texts.size()));
    for (int row = 0; row < texts.size(); ++row) {
        const bool total = row == texts.size() - 1;
        const bool over = !total && rows_[row].overLimit();
        for (int c = 0; c < Count; ++c) {
            auto* item = new QTableWidgetItem(texts[row][c]);
            if (c == Name)
                item->setToolTip(texts[row][c]);
            if (c != Name && c != Oldest)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (over && (c == Balance || c == Over))
                item->setForeground(Qt::red);
            if (total) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            table_->setItem(row, c, item);
        }
    }
}

std::optional<Customer> ReceivablesWindow::current() {
    const int row = table_->currentRow();
    if (row < 0 || row >= rows_.size()) {
        Prompts::instance().message(this, QStringLiteral("请先在列表中选中一位客户！"));
        return std::nullopt;
    }
    return rows_[row].customer;
}

void ReceivablesWindow::PaymentClick() {
    if (!customers_)
        RefreshClick();
    PaymentForm form(connection_, *customers_, this);
    const int row = table_->currentRow();
    if (row >= 0 && row < rows_.size())
        form.chooseCustomer(rows_[row].customer);
    if (form.exec() == QDialog::Accepted)
        RefreshClick();
}

void ReceivablesWindow::AccountClick() {
    const std::optional<Customer> customer = current();
    if (!customer)
        return;
    AccountDialog account(connection_, *customers_, *customer, header_, this);
    account.exec();
    RefreshClick();
}

void ReceivablesWindow::CreditClick() {
    const std::optional<Customer> customer = current();
    if (!customer)
        return;
    PaymentBook book(connection_, *customers_);
    CreditDialog dialog(*customer, book.credit(*customer), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    book.setCredit(*customer, *dialog.read());
    RefreshClick();
}

void ReceivablesWindow::ExportClick() {
    if (!customers_)
        RefreshClick();
    QString chosen = Prompts::instance().saveFileNameAt(
        this,
        SaveLocation::suggested(
            QStringLiteral("应收款_%1.xlsx").arg(today_.toString(QStringLiteral("yyyy-MM-dd")))),
        QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (chosen.isEmpty())
        return;
    if (!chosen.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        chosen += QStringLiteral(".xlsx");
    QList<QList<SheetCell>> cells;
    const QList<QStringList> texts = ReceivablesWindow::texts(rows_);
    for (int row = 0; row < texts.size(); ++row) {
        const bool total = row == texts.size() - 1;
        QList<SheetCell> line(Count);
        line[Name] = SheetCell::ofText(texts[row][Name]);
        line[Over] = SheetCell::ofText(texts[row][Over]);
        if (total) {
            cells.append(QList<SheetCell>());
            const Receivable sum = Receivables::total(rows_);
            for (const auto& [column, fen] :
                 {std::pair{Delivered, sum.delivered}, std::pair{Received, sum.received},
                  std::pair{Balance, sum.balance}, std::pair{Age0, sum.ageing[0]},
                  std::pair{Age1, sum.ageing[1]}, std::pair{Age2, sum.ageing[2]},
                  std::pair{Age3, sum.ageing[3]}})
                line[column] = SheetCell::ofMoney(yuan(fen));
            cells.append(line);
            continue;
        }
        const Receivable& r = rows_[row];
        line[Delivered] = SheetCell::ofMoney(yuan(r.delivered));
        line[Received] = SheetCell::ofMoney(yuan(r.received));
        line[Balance] = SheetCell::ofMoney(yuan(r.balance));
        if (r.oldestUnpaid.isValid())
            line[Oldest] = SheetCell::ofDate(r.oldestUnpaid);
        for (int i = 0; i < 4; ++i)
            line[Age0 + i] = SheetCell::ofMoney(yuan(r.ageing[static_cast<size_t>(i)]));
        if (r.limit)
            line[Limit] = SheetCell::ofMoney(yuan(*r.limit));
        if (r.termDays)
            line[Terms] = SheetCell::ofNumber(r.termDays);
        cells.append(line);
    }
    const report::RowTable company = header_.read();
    SpreadsheetFile::writeTable(headings(), cells, chosen,
                                {company.value(0, company.column(QStringLiteral("公司名称"))),
                                 QStringLiteral("应收款"),
                                 QStringLiteral("截至 %1").arg(shortDate(today_)), QString()});
    SaveLocation::rememberFile(chosen);
    Prompts::instance().message(this, QStringLiteral("已导出到：\n%1").arg(chosen));
}

void ReceivablesWindow::PrintClick() {
    if (!customers_)
        RefreshClick();
    TableReport::Layout l;
    l.name = QStringLiteral("ReceivablesReport");
    l.title = QStringLiteral("应收款");
    l.savedName = QStringLiteral("应收款_%1").arg(today_.toString(QStringLiteral("yyyy-MM-dd")));
    l.paper = QSizeF(297, 210);
    l.headerLines = {QStringLiteral("截至 %1（账龄按单据日期计算）").arg(shortDate(today_))};
    const qreal widths[Count] = {61, 20, 20, 20, 19, 18, 18, 18, 19, 20, 19, 11};
    const QStringList names = headings();
    for (int c = 0; c < Count; ++c)
        l.columns.append({names[c], widths[c], c != Name && c != Oldest});
    QList<QStringList> texts = ReceivablesWindow::texts(rows_);
    const QStringList totals = texts.takeLast();
    l.summaryLines = {QStringLiteral("%1：送货 ¥%2，已收 ¥%3，欠款余额 ¥%4")
                          .arg(totals[Name], totals[Delivered], totals[Received], totals[Balance]),
                      QStringLiteral("账龄：0-30天 ¥%1，31-60天 ¥%2，61-90天 ¥%3，90天以上 ¥%4")
                          .arg(totals[Age0], totals[Age1], totals[Age2], totals[Age3])};
    const auto sheet = TableReport::layout(l);
    previewReport(*sheet, TableReport::rows(l, texts), {{QStringLiteral("表5"), header_.read()}},
                  &printerSettings_);
}
