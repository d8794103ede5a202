#include "statements/NumberingPage.h"

#include "grid/GridLook.h"
#include "ledger/BillNumberPattern.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>

namespace {

const QString kPattern = QStringLiteral("numbering/pattern");
const QString kAsk = QStringLiteral("numbering/askDuplicate");
const QString kAskCredit = QStringLiteral("receivables/askCreditLimit");

} // namespace

NumberingPage::NumberingPage(int listColumnWidth, QWidget* parent)
    : SettingsPage(parent), listColumnWidth_(listColumnWidth) {
    setObjectName(QStringLiteral("NumberingPage"));
    auto* form = new QFormLayout(this);
    pattern_ = new QComboBox(this);
    pattern_->setObjectName(QStringLiteral("PatternBox"));
    pattern_->setEditable(true);
    pattern_->setInsertPolicy(QComboBox::NoInsert);
    pattern_->addItems(BillNumberPattern::offered());
    form->addRow(QStringLiteral("单号格式："), pattern_);
    example_ = new QLabel(this);
    example_->setObjectName(QStringLiteral("ExampleLabel"));
    form->addRow(QStringLiteral("示例："), example_);
    width_ = new QLabel(this);
    width_->setObjectName(QStringLiteral("WidthWarning"));
    width_->setWordWrap(true);
    width_->setStyleSheet(QStringLiteral("color: #c00000;"));
    form->addRow(QString(), width_);
    auto* hint =
        new QLabel(QStringLiteral("yy 或 yyyy 为年，MM 为月，dd 为日；N 为流水号，NNN 即三位，"
                                  "从 001 起。\n不含 dd 的格式按月连续编号。\n"
                                  "前缀等固定文字放在单引号里，如：'SH'yyMMdd-NNN"),
                   this);
    hint->setWordWrap(true);
    form->addRow(QString(), hint);
    ask_ = new QCheckBox(QStringLiteral("单据编号已用于其他客户时先询问"), this);
    ask_->setObjectName(QStringLiteral("AskDuplicateBox"));
    form->addRow(QString(), ask_);
    askCredit_ = new QCheckBox(QStringLiteral("送货使客户欠款超过信用额度时先询问"), this);
    askCredit_->setObjectName(QStringLiteral("AskCreditLimitBox"));
    form->addRow(QString(), askCredit_);
    connect(pattern_, &QComboBox::editTextChanged, this, &NumberingPage::showExample);
}

QString NumberingPage::title() const {
    return QStringLiteral("单号");
}

void NumberingPage::load() {
    pattern_->setEditText(
        Settings::value(kPattern, BillNumberPattern::defaultPattern()).toString());
    ask_->setChecked(Settings::value(kAsk, true).toBool());
    askCredit_->setChecked(Settings::value(kAskCredit, true).toBool());
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
    Settings::setValue(kAskCredit, askCredit_->isChecked());
}

void NumberingPage::showExample() {
    const BillNumberPattern pattern(pattern_->currentText());
    example_->setText(pattern.isValid() ? pattern.format(QDate::currentDate(), 1)
                                        : QStringLiteral("（格式无效）"));
    // The widest number of the pattern: a two-digit month and day, every digit used.
    const bool cut = pattern.isValid() &&
                     !GridLook::fitsCell(pattern.format(QDate(2026, 12, 28), 8), listColumnWidth_);
    width_->setText(cut ? QStringLiteral("这种格式的单号比送货信息列表的“单据编号”列宽，在列表中"
                                         "会显示不全（鼠标停在单号上可看到全文）。")
                        : QString());
    // A hidden row takes no room, so the page does not open with a gap.
    if (auto* form = qobject_cast<QFormLayout*>(layout()))
        form->setRowVisible(width_, cut);
}
