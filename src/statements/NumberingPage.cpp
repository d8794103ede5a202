#include "statements/NumberingPage.h"

#include "ledger/BillNumberPattern.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>

namespace {

const QString kPattern = QStringLiteral("numbering/pattern");
const QString kAsk = QStringLiteral("numbering/askDuplicate");

} // namespace

NumberingPage::NumberingPage(QWidget* parent) : SettingsPage(parent) {
    setObjectName(QStringLiteral("NumberingPage"));
    auto* form = new QFormLayout(this);
    pattern_ = new QComboBox(this);
    pattern_->setObjectName(QStringLiteral("PatternBox"));
    pattern_->setEditable(true);
    pattern_->setInsertPolicy(QComboBox::NoInsert);
    pattern_->addItems(BillNumberPattern::offered());
    form->addRow(QStringLiteral("单号格式"), pattern_);
    example_ = new QLabel(this);
    example_->setObjectName(QStringLiteral("ExampleLabel"));
    form->addRow(QStringLiteral("示例"), example_);
    form->addRow(QString(), new QLabel(QStringLiteral("yyyy 年、MM 月、dd 日，N 为当天的流水号"
                                                      "（NNN 即三位，从 001 起）。"),
                                       this));
    ask_ = new QCheckBox(QStringLiteral("单据编号已用于其他客户时先询问"), this);
    ask_->setObjectName(QStringLiteral("AskDuplicateBox"));
    form->addRow(QString(), ask_);
    connect(pattern_, &QComboBox::editTextChanged, this, &NumberingPage::showExample);
}

QString NumberingPage::title() const {
    return QStringLiteral("单号");
}

void NumberingPage::load() {
    pattern_->setEditText(
        Settings::value(kPattern, BillNumberPattern::defaultPattern()).toString());
    ask_->setChecked(Settings::value(kAsk, true).toBool());
    showExample();
}

QString NumberingPage::check() const {
    return BillNumberPattern(pattern_->currentText()).isValid()
               ? QString()
               : QStringLiteral("单号格式须含一段连续的 N（流水号），最多 9 位。");
}

void NumberingPage::store() {
    Settings::setValue(kPattern, pattern_->currentText());
    Settings::setValue(kAsk, ask_->isChecked());
}

void NumberingPage::showExample() {
    const BillNumberPattern pattern(pattern_->currentText());
    example_->setText(pattern.isValid() ? pattern.format(QDate::currentDate(), 1)
                                        : QStringLiteral("（格式无效）"));
}
