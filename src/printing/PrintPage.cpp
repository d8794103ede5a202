#include "printing/PrintPage.h"

#include "printing/CalibrationPage.h"
#include "printing/Capitals.h"
#include "printing/PriceFreeNote.h"
#include "printing/PrintDocument.h"
#include "ui/Guard.h"
#include "ui/Prompts.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The note's paper: the calibration page shows how the printer treats that sheet.
const QSizeF kNotePaper(190, 265);

QDoubleSpinBox* offsetBox(const QString& name, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(-PrintPreferences::kMaxOffsetMm, PrintPreferences::kMaxOffsetMm);
    box->setDecimals(1);
    box->setSingleStep(0.1);
    box->setSuffix(QStringLiteral(" 毫米"));
    return box;
}

} // namespace

PrintPage::PrintPage(QWidget* parent) : SettingsPage(parent) {
    setObjectName(QStringLiteral("PrintPage"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildOffsets());
    layout->addWidget(buildCopies());
    layout->addWidget(buildWithoutPrices());
    layout->addWidget(buildCapitals());
    layout->addStretch(1);
}

QWidget* PrintPage::buildOffsets() {
    auto* group = new QGroupBox(QStringLiteral("打印机校准"), this);
    auto* form = new QFormLayout(group);
    printers_ = new QComboBox(group);
    printers_->setObjectName(QStringLiteral("PrinterBox"));
    offsetX_ = offsetBox(QStringLiteral("OffsetXBox"), group);
    offsetY_ = offsetBox(QStringLiteral("OffsetYBox"), group);
    auto* calibrate = new QPushButton(QStringLiteral("打印校准页"), group);
    calibrate->setObjectName(QStringLiteral("CalibrationButton"));
    auto* hint = new QLabel(QStringLiteral("正数向右、向下移，负数向左、向上移；只用于这台打印机"
                                           "的打印，不影响预览、PDF 和图片。"),
                            group);
    hint->setWordWrap(true);
    form->addRow(QStringLiteral("打印机："), printers_);
    form->addRow(QStringLiteral("水平偏移："), offsetX_);
    form->addRow(QStringLiteral("垂直偏移："), offsetY_);
    form->addRow(QString(), calibrate);
    form->addRow(hint);
    connect(printers_, &QComboBox::currentIndexChanged, this,
            guardedSlot(this, [this] { printerChanged(); }));
    connect(calibrate, &QPushButton::clicked, this, &PrintPage::CalibrationButtonClick);
    return group;
}

QWidget* PrintPage::buildCopies() {
    auto* group = new QGroupBox(QStringLiteral("多联打印"), this);
    auto* form = new QFormLayout(group);
    copies_ = new QSpinBox(group);
    copies_->setObjectName(QStringLiteral("CopiesBox"));
    copies_->setRange(1, CopyLabels::kMaxCopies);
    copies_->setSuffix(QStringLiteral(" 联"));
    form->addRow(QStringLiteral("每张送货单打印："), copies_);
    for (int i = 1; i <= CopyLabels::kMaxCopies; ++i) {
        auto* edit = new QLineEdit(group);
        edit->setObjectName(QStringLiteral("LabelEdit%1").arg(i));
        labels_.append(edit);
        form->addRow(QStringLiteral("第%1联标签：").arg(i), edit);
    }
    auto* hint = new QLabel(
        QStringLiteral("多于 1 联时，各联依次在同一个打印任务中打出，标签印在每页右上角。"), group);
    hint->setWordWrap(true);
    form->addRow(hint);
    connect(copies_, &QSpinBox::valueChanged, this, guardedSlot(this, [this] { enableLabels(); }));
    return group;
}

QWidget* PrintPage::buildWithoutPrices() {
    auto* group = new QGroupBox(QStringLiteral("不含价格的送货单"), this);
    auto* layout = new QVBoxLayout(group);
    withoutPrices_ = PriceFreeNote::newCheckBox(group);
    layout->addWidget(withoutPrices_);
    auto* hint = new QLabel(QStringLiteral("勾选后，送货单不印单价、金额、合计金额和大写金额，"
                                           "其余内容位置不变；也可以在预览的“设 置”里只为"
                                           "那一次打印选择。"),
                            group);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    return group;
}

QWidget* PrintPage::buildCapitals() {
    auto* group = new QGroupBox(QStringLiteral("金额大写"), this);
    auto* form = new QFormLayout(group);
    capitals_ = new QComboBox(group);
    capitals_->setObjectName(QStringLiteral("CapitalsBox"));
    capitals_->addItem(QStringLiteral("原有写法"), static_cast<int>(Capitals::Style::Original));
    capitals_->addItem(QStringLiteral("财务规范写法"), static_cast<int>(Capitals::Style::Banking));
    form->addRow(QStringLiteral("大写金额写法："), capitals_);
    auto* hint =
        new QLabel(QStringLiteral("用于送货单和对账单的合计金额。\n原有写法：壹十元、壹千元、元整\n"
                                  "财务规范写法：壹拾元、壹仟元、零元整"),
                   group);
    hint->setWordWrap(true);
    form->addRow(hint);
    return group;
}

QString PrintPage::title() const {
    return QStringLiteral("打印");
}

void PrintPage::load() {
    preferences_ = PrintPreferences::load();
    QStringList names = QPrinterInfo::availablePrinterNames();
    // A printer that is gone keeps its offsets, in case it comes back.
    for (auto it = preferences_.offsets.cbegin(); it != preferences_.offsets.cend(); ++it) {
        if (!names.contains(it.key()))
            names.append(it.key());
    }
    shownPrinter_.clear();
    {
        const QSignalBlocker blocker(printers_);
        printers_->clear();
        printers_->addItems(names);
        const int preferred = printers_->findText(QPrinterInfo::defaultPrinterName());
        printers_->setCurrentIndex(preferred >= 0 ? preferred : 0);
    }
    printerChanged();
    copies_->setValue(preferences_.copies);
    for (int i = 0; i < labels_.size(); ++i)
        labels_.at(i)->setText(preferences_.labels.value(i));
    enableLabels();
    withoutPrices_->setChecked(PriceFreeNote::chosen());
    capitals_->setCurrentIndex(capitals_->findData(static_cast<int>(Capitals::chosen())));
}

QString PrintPage::check() const {
    if (copies_->value() > 1) {
        for (int i = 0; i < copies_->value(); ++i) {
            if (labels_.at(i)->text().trimmed().isEmpty())
                return QStringLiteral("第%1联的标签不能为空！").arg(i + 1);
        }
    }
    return QString();
}

void PrintPage::store() {
    keepShownOffsets();
    preferences_.copies = copies_->value();
    for (int i = 0; i < labels_.size(); ++i)
        preferences_.labels[i] = labels_.at(i)->text().trimmed();
    preferences_.store();
    PriceFreeNote::choose(withoutPrices_->isChecked());
    Capitals::choose(static_cast<Capitals::Style>(capitals_->currentData().toInt()));
}

void PrintPage::keepShownOffsets() {
    if (shownPrinter_.isEmpty())
        return;
    const QPointF offset(offsetX_->value(), offsetY_->value());
    if (offset.isNull())
        preferences_.offsets.remove(shownPrinter_);
    else
        preferences_.offsets.insert(shownPrinter_, offset);
}

void PrintPage::printerChanged() {
    keepShownOffsets();
    shownPrinter_ = printers_->currentText();
    const QPointF offset = preferences_.offsets.value(shownPrinter_);
    offsetX_->setValue(offset.x());
    offsetY_->setValue(offset.y());
    const bool any = !shownPrinter_.isEmpty();
    offsetX_->setEnabled(any);
    offsetY_->setEnabled(any);
    findChild<QPushButton*>(QStringLiteral("CalibrationButton"))->setEnabled(any);
}

void PrintPage::enableLabels() {
    for (int i = 0; i < labels_.size(); ++i)
        labels_.at(i)->setEnabled(i < copies_->value() && copies_->value() > 1);
}

void PrintPage::CalibrationButtonClick() {
    guarded(this, [this] {
        const QString printer = printers_->currentText();
        if (printer.isEmpty())
            throw AppError(QStringLiteral("没有可用的打印机。"));
        const QPointF offset(offsetX_->value(), offsetY_->value());
        PrintSettings settings;
        settings.printerName = printer;
        PrintOptions options;
        options.offsets.insert(printer, offset);
        printDocument(CalibrationPage::document(kNotePaper, printer, offset), settings,
                      QStringLiteral("打印校准页"), {}, options);
        Prompts::instance().message(this, QStringLiteral("校准页已送往打印机“%1”！").arg(printer));
    });
}
