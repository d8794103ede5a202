#include "receivables/CreditDialog.h"

#include "ledger/MoneyText.h"
#include "ui/Guard.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

CreditDialog::CreditDialog(const Customer& customer, const Credit& credit, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CreditDialog"));
    setWindowTitle(QStringLiteral("信用额度"));
    setWindowModality(Qt::WindowModal);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("客户："), new QLabel(customer.label(), this));
    limit_ = new QLineEdit(this);
    limit_->setObjectName(QStringLiteral("LimitBox"));
    limit_->setPlaceholderText(QStringLiteral("不填即不限"));
    if (credit.limit)
        limit_->setText(MoneyText::ofFen(*credit.limit).remove(u','));
    form->addRow(QStringLiteral("信用额度（元）："), limit_);
    days_ = new QSpinBox(this);
    days_->setObjectName(QStringLiteral("TermsBox"));
    days_->setRange(0, 3650);
    days_->setSuffix(QStringLiteral(" 天"));
    days_->setValue(credit.termDays);
    form->addRow(QStringLiteral("账期："), days_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, guardedSlot(this, [this] { OkClick(); }));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<Credit> CreditDialog::read() {
    Credit credit;
    credit.termDays = days_->value();
    if (limit_->text().trimmed().isEmpty())
        return credit;
    credit.limit = MoneyText::parseFen(limit_->text());
    if (!credit.limit) {
        Prompts::instance().message(this, QStringLiteral("信用额度须是金额（最多两位小数），"
                                                         "不限额度请留空！"));
        return std::nullopt;
    }
    return credit;
}

void CreditDialog::OkClick() {
    if (read())
        accept();
}
