#include "receivables/AccountDialog.h"

#include "ledger/DeliveryRows.h"
#include "ledger/MoneyText.h"
#include "printing/NoteHeader.h"
#include "printing/ReceiptReport.h"
#include "printing/ReportPreview.h"
#include "receivables/PaymentForm.h"
#include "ui/Guard.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QTableWidget* table(QWidget* owner, const QString& name, const QStringList& headings) {
    auto* t = new QTableWidget(0, static_cast<int>(headings.size()), owner);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(headings);
    t->verticalHeader()->setVisible(false);
    t->verticalHeader()->setDefaultSectionSize(24);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->horizontalHeader()->setStretchLastSection(true);
    for (int c = 0; c < t->columnCount(); ++c)
        t->setColumnWidth(c, 96);
    return t;
}

void setRow(QTableWidget* t, int row, const QStringList& texts, const QList<int>& right) {
    for (int c = 0; c < texts.size(); ++c) {
        auto* item = new QTableWidgetItem(texts[c]);
        if (right.contains(c))
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        t->setItem(row, c, item);
    }
}

QPushButton* button(QWidget* owner, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, owner);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

AccountDialog::AccountDialog(Connection* connection, const Customers& customers,
                             const Customer& customer, const NoteHeader& header, QWidget* parent)
    : QDialog(parent), connection_(connection), customers_(customers), customer_(customer),
      header_(header), book_(connection, customers) {
    setObjectName(QStringLiteral("AccountDialog"));
    setWindowTitle(QStringLiteral("客户往来 - ") + customer.contact);
    // Modal to its window only, so the receipt's preview it opens can be used.
    setWindowModality(Qt::WindowModal);
    resize(820, 560);
    auto* layout = new QVBoxLayout(this);
    auto* who = new QLabel(QStringLiteral("客户：") + customer.label(), this);
    layout->addWidget(who);
    balance_ = new QLabel(this);
    balance_->setObjectName(QStringLiteral("BalanceLabel"));
    layout->addWidget(balance_);
    layout->addWidget(new QLabel(QStringLiteral("送货单据："), this));
    bills_ =
        table(this, QStringLiteral("BillTable"),
              {QStringLiteral("单据编号"), QStringLiteral("业务日期"), QStringLiteral("单据金额"),
               QStringLiteral("已收"), QStringLiteral("未收"), QStringLiteral("状态")});
    layout->addWidget(bills_, 3);
    layout->addWidget(new QLabel(QStringLiteral("收款记录："), this));
    paymentsTable_ = table(this, QStringLiteral("PaymentTable"),
                           {QStringLiteral("收款日期"), QStringLiteral("金额"),
                            QStringLiteral("核销"), QStringLiteral("预收"), QStringLiteral("方式"),
                            QStringLiteral("经手人"), QStringLiteral("备注")});
    layout->addWidget(paymentsTable_, 2);
    auto* buttons = new QHBoxLayout;
    QPushButton* modify =
        button(this, QStringLiteral("ModifyPaymentButton"), QStringLiteral("修改收款"));
    QPushButton* remove =
        button(this, QStringLiteral("DeletePaymentButton"), QStringLiteral("删除收款"));
    QPushButton* receipt =
        button(this, QStringLiteral("ReceiptButton"), QStringLiteral("收款收据"));
    QPushButton* close = button(this, QStringLiteral("CloseButton"), QStringLiteral("关闭"));
    for (QPushButton* b : {modify, remove, receipt})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(modify, &QPushButton::clicked, this, guardedSlot(this, [this] { ModifyClick(); }));
    connect(remove, &QPushButton::clicked, this, guardedSlot(this, [this] { DeleteClick(); }));
    connect(receipt, &QPushButton::clicked, this, guardedSlot(this, [this] { ReceiptClick(); }));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    fill();
}

void AccountDialog::fill() {
    const QList<Settlement::Bill> bills = book_.bills(customer_);
    payments_ = book_.payments(customer_);
    const QList<Settlement::Part> parts = book_.settlements(customer_);
    qint64 delivered = 0;
    qint64 received = 0;
    bills_->setRowCount(static_cast<int>(bills.size()));
    for (int row = 0; row < bills.size(); ++row) {
        const Settlement::Bill& bill = bills[row];
        const qint64 paid = Settlement::settledOn(parts, bill.number);
        const qint64 open = bill.amount - paid;
        delivered += bill.amount;
        const QString status = open <= 0  ? QStringLiteral("已收清")
                               : paid > 0 ? QStringLiteral("部分收款")
                                          : QStringLiteral("未收");
        setRow(bills_, row,
               {bill.number, bill.date.toString(QStringLiteral("yyyy/M/d")),
                MoneyText::ofFen(bill.amount), MoneyText::ofFen(paid),
                MoneyText::ofFen(qMax<qint64>(open, 0)), status},
               {2, 3, 4});
    }
    paymentsTable_->setRowCount(static_cast<int>(payments_.size()));
    for (int row = 0; row < payments_.size(); ++row) {
        const Payment& p = payments_[row];
        const qint64 settled = Settlement::settledBy(parts, p.id);
        received += p.amount;
        setRow(paymentsTable_, row,
               {p.date.toString(QStringLiteral("yyyy/M/d")), MoneyText::ofFen(p.amount),
                MoneyText::ofFen(settled), MoneyText::ofFen(p.amount - settled), p.method,
                p.handler, p.remark},
               {1, 2, 3});
    }
    const qint64 balance = delivered - received;
    balance_->setText(balance >= 0
                          ? QStringLiteral("送货 ¥%1，已收 ¥%2，欠款余额 ¥%3")
                                .arg(MoneyText::ofFen(delivered), MoneyText::ofFen(received),
                                     MoneyText::ofFen(balance))
                          : QStringLiteral("送货 ¥%1，已收 ¥%2，预收款 ¥%3")
                                .arg(MoneyText::ofFen(delivered), MoneyText::ofFen(received),
                                     MoneyText::ofFen(-balance)));
}

std::optional<Payment> AccountDialog::current() {
    const int row = paymentsTable_->currentRow();
    if (row < 0 || row >= payments_.size()) {
        Prompts::instance().message(this, QStringLiteral("请先在收款记录中选中一笔收款！"));
        return std::nullopt;
    }
    return payments_[row];
}

void AccountDialog::ModifyClick() {
    const std::optional<Payment> payment = current();
    if (!payment)
        return;
    PaymentForm form(connection_, customers_, this, payment);
    form.exec();
    fill();
}

void AccountDialog::DeleteClick() {
    const std::optional<Payment> payment = current();
    if (!payment)
        return;
    if (!Prompts::instance().confirmRemoval(
            this, QStringLiteral("确定要删除 %1 的收款 ¥%2 吗？它核销的单据将重新核销。")
                      .arg(payment->date.toString(QStringLiteral("yyyy/M/d")),
                           MoneyText::ofFen(payment->amount))))
        return;
    book_.remove(*payment);
    fill();
}

void AccountDialog::ReceiptClick() {
    const std::optional<Payment> payment = current();
    if (!payment)
        return;
    const QList<Settlement::Part> parts = book_.settlements(customer_);
    const TableReport::Layout l = ReceiptReport::layout(*payment, parts, Capitals::chosen());
    const auto sheet = TableReport::layout(l);
    previewReport(
        *sheet, TableReport::rows(l, ReceiptReport::rows(*payment, book_.bills(customer_), parts)),
        {{QStringLiteral("表5"), header_.read()}}, &printerSettings_);
}
