#include "receivables/PaymentForm.h"

#include "data/Dataset.h"
#include "ledger/DeliveryRows.h"
#include "ledger/MoneyText.h"
#include "ui/DatePicker.h"
#include "ui/Guard.h"

#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum BillColumn { Chosen, Number, Date, Amount, Received, Open, ThisPayment, ColumnCount };

QTableWidgetItem* cell(const QString& text, bool right = false) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    if (right)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QStringList handlers(Connection* connection) {
    Dataset list(connection, QStringLiteral("PaymentHandlers"));
    list.setQuery(Query::distinct(QStringLiteral("表5"), QStringLiteral("联系人")));
    list.open();
    QStringList out;
    for (int row = 0; row < list.recordCount(); ++row)
        if (!list.text(row, 0).isEmpty())
            out.append(list.text(row, 0));
    return out;
}

} // namespace

PaymentForm::PaymentForm(Connection* connection, const Customers& customers, QWidget* parent,
                         const std::optional<Payment>& stored)
    : QDialog(parent), connection_(connection), customers_(customers), book_(connection, customers),
      stored_(stored) {
    setObjectName(QStringLiteral("PaymentForm"));
    setWindowTitle(stored ? QStringLiteral("修改收款") : QStringLiteral("收款"));
    setWindowModality(Qt::WindowModal);
    resize(760, 520);

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    customer_ = new QComboBox(this);
    customer_->setObjectName(QStringLiteral("CustomerBox"));
    customer_->setEditable(true);
    customer_->setInsertPolicy(QComboBox::NoInsert);
    for (const Customer& c : customers_.listed())
        customer_->addItem(c.label());
    customer_->setCurrentIndex(-1);
    customer_->completer()->setFilterMode(Qt::MatchContains);
    customer_->completer()->setCompletionMode(QCompleter::PopupCompletion);
    form->addRow(QStringLiteral("客户："), customer_);
    date_ = new DatePicker(this);
    date_->setObjectName(QStringLiteral("DateBox"));
    date_->setDate(QDate::currentDate());
    form->addRow(QStringLiteral("收款日期："), date_);
    amount_ = new QLineEdit(this);
    amount_->setObjectName(QStringLiteral("AmountBox"));
    amount_->setPlaceholderText(QStringLiteral("如 1200.50"));
    form->addRow(QStringLiteral("收款金额（元）："), amount_);
    method_ = new QComboBox(this);
    method_->setObjectName(QStringLiteral("MethodBox"));
    method_->addItems({QStringLiteral("现金"), QStringLiteral("银行转账"), QStringLiteral("微信"),
                       QStringLiteral("支付宝"), QStringLiteral("其他")});
    form->addRow(QStringLiteral("收款方式："), method_);
    handler_ = new QComboBox(this);
    handler_->setObjectName(QStringLiteral("HandlerBox"));
    handler_->setEditable(true);
    handler_->setInsertPolicy(QComboBox::NoInsert);
    handler_->addItems(handlers(connection_));
    form->addRow(QStringLiteral("经手人："), handler_);
    remark_ = new QLineEdit(this);
    remark_->setObjectName(QStringLiteral("RemarkBox"));
    form->addRow(QStringLiteral("备注："), remark_);
    layout->addLayout(form);

    layout->addWidget(new QLabel(
        QStringLiteral("核销单据（默认从最早的未收单据起核销；勾选“指定”的单据先核销）："), this));
    bills_ = new QTableWidget(0, ColumnCount, this);
    bills_->setObjectName(QStringLiteral("BillTable"));
    bills_->setHorizontalHeaderLabels({QStringLiteral("指定"), QStringLiteral("单据编号"),
                                       QStringLiteral("业务日期"), QStringLiteral("单据金额"),
                                       QStringLiteral("已收"), QStringLiteral("未收"),
                                       QStringLiteral("本次核销")});
    bills_->verticalHeader()->setVisible(false);
    bills_->verticalHeader()->setDefaultSectionSize(24);
    bills_->horizontalHeader()->setStretchLastSection(true);
    bills_->setColumnWidth(Chosen, 44);
    bills_->setColumnWidth(Number, 130);
    for (int c : {Date, Amount, Received, Open})
        bills_->setColumnWidth(c, 104);
    bills_->setSelectionMode(QAbstractItemView::NoSelection);
    layout->addWidget(bills_, 1);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("SettlementSummary"));
    layout->addWidget(summary_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName(QStringLiteral("SaveButton"));
    save->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setAutoDefault(false);
    buttons->addWidget(save);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    if (stored_) {
        chooseCustomer(stored_->customer);
        date_->setDate(stored_->date);
        amount_->setText(MoneyText::ofFen(stored_->amount).remove(u','));
        method_->setCurrentText(stored_->method);
        handler_->setCurrentText(stored_->handler);
        remark_->setText(stored_->remark);
    }

    connect(save, &QPushButton::clicked, this, guardedSlot(this, [this] { SaveClick(); }));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(customer_, &QComboBox::currentTextChanged, this,
            guardedSlot(this, [this] { fillBills(); }));
    connect(amount_, &QLineEdit::textChanged, this,
            guardedSlot(this, [this] { showSettlement(); }));
    connect(date_, &QDateEdit::dateChanged, this, guardedSlot(this, [this] { showSettlement(); }));
    connect(bills_, &QTableWidget::itemChanged, this, guardedSlot(this, [this] {
                if (!filling_)
                    showSettlement();
            }));
    fillBills();
}

void PaymentForm::chooseCustomer(const Customer& customer) {
    customer_->setCurrentIndex(static_cast<int>(customers_.listed().indexOf(customer)));
}

std::optional<Customer> PaymentForm::customer() const {
    const int index = customer_->findText(customer_->currentText().trimmed());
    if (index < 0)
        return std::nullopt;
    return customers_.listed().at(index);
}

std::optional<Payment> PaymentForm::read(bool quiet) {
    const auto say = [&](const QString& text) {
        if (!quiet)
            Prompts::instance().message(this, text);
        return std::nullopt;
    };
    const std::optional<Customer> who = customer();
    if (!who)
        return say(QStringLiteral("请从列表中选择客户！"));
    const std::optional<qint64> amount = MoneyText::parseFen(amount_->text());
    if (!amount || *amount <= 0)
        return say(QStringLiteral("请填写收款金额（大于 0 的数，最多两位小数）！"));
    Payment p;
    if (stored_)
        p.id = stored_->id;
    p.customer = *who;
    p.date = date_->date();
    p.amount = *amount;
    p.method = method_->currentText();
    p.handler = handler_->currentText().trimmed();
    p.remark = remark_->text();
    for (int row = 0; row < bills_->rowCount(); ++row)
        if (bills_->item(row, Chosen)->checkState() == Qt::Checked)
            p.chosenBills.append(bills_->item(row, Number)->text());
    return p;
}

void PaymentForm::fillBills() {
    filling_ = true;
    bills_->setRowCount(0);
    const std::optional<Customer> who = customer();
    if (who) {
        const QList<Settlement::Part> parts = book_.settlements(*who);
        const QStringList chosen = stored_ ? stored_->chosenBills : QStringList();
        for (const Settlement::Bill& bill : book_.bills(*who)) {
            // Settled by others: what the bill has received apart from this payment.
            qint64 received = 0;
            for (const Settlement::Part& part : parts)
                if ((!stored_ || part.payment != stored_->id) &&
                    Ledger::sameButAsciiCase(part.bill, bill.number))
                    received += part.amount;
            if (received >= bill.amount)
                continue;
            const int row = bills_->rowCount();
            bills_->insertRow(row);
            auto* tick = new QTableWidgetItem;
            tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            tick->setCheckState(chosen.contains(bill.number) ? Qt::Checked : Qt::Unchecked);
            bills_->setItem(row, Chosen, tick);
            bills_->setItem(row, Number, cell(bill.number));
            bills_->setItem(row, Date, cell(bill.date.toString(QStringLiteral("yyyy/M/d"))));
            bills_->setItem(row, Amount, cell(MoneyText::ofFen(bill.amount), true));
            bills_->setItem(row, Received, cell(MoneyText::ofFen(received), true));
            bills_->setItem(row, Open, cell(MoneyText::ofFen(bill.amount - received), true));
            bills_->setItem(row, ThisPayment, cell(QString(), true));
        }
    }
    filling_ = false;
    showSettlement();
}

void PaymentForm::showSettlement() {
    const std::optional<Payment> payment = read(true);
    QList<Settlement::Part> parts;
    if (payment)
        parts = book_.preview(*payment);
    qint64 settled = 0;
    filling_ = true;
    for (int row = 0; row < bills_->rowCount(); ++row) {
        qint64 share = 0;
        for (const Settlement::Part& part : parts)
            if (part.payment == payment->id && part.bill == bills_->item(row, Number)->text())
                share += part.amount;
        settled += share;
        bills_->item(row, ThisPayment)->setText(share ? MoneyText::ofFen(share) : QString());
    }
    filling_ = false;
    if (!payment) {
        summary_->setText(QStringLiteral("填写客户和金额后，这里显示本次核销的单据。"));
        return;
    }
    const qint64 left = payment->amount - settled;
    summary_->setText(left > 0 ? QStringLiteral("本次核销 ¥%1，余 ¥%2 转为预收款。")
                                     .arg(MoneyText::ofFen(settled), MoneyText::ofFen(left))
                               : QStringLiteral("本次核销 ¥%1。").arg(MoneyText::ofFen(settled)));
}

void PaymentForm::SaveClick() {
    const std::optional<Payment> payment = read(false);
    if (!payment)
        return;
    if (stored_)
        book_.modify(*stored_, *payment);
    saved_ = stored_ ? *payment : book_.add(*payment);
    Prompts::instance().message(this, QStringLiteral("收款已保存。"));
    accept();
}
