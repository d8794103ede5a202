#include "imports/ImportFilePage.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QString knownNames(ImportTarget target) {
    QStringList lines;
    for (const ImportFields::Field& field : ImportFields::fields(target))
        lines.append(QStringLiteral("　%1%2：%3")
                         .arg(field.heading,
                              field.required ? QStringLiteral("（必填）") : QString(),
                              field.names.join(QStringLiteral("、"))));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

ImportFilePage::ImportFilePage(ImportTarget target, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ImportFilePage"));
    file_ = new QLineEdit(this);
    file_->setObjectName(QStringLiteral("FileEdit"));
    file_->setReadOnly(true);
    file_->setPlaceholderText(QStringLiteral("请选择 .xlsx、.xls 或 .csv 文件"));
    choose_ = new QPushButton(QStringLiteral("选择文件…"), this);
    choose_->setObjectName(QStringLiteral("ChooseFileButton"));
    choose_->setAutoDefault(false);
    sheets_ = new QComboBox(this);
    sheets_->setObjectName(QStringLiteral("SheetBox"));
    sheets_->setMinimumWidth(200);
    header_ = new QSpinBox(this);
    header_->setObjectName(QStringLiteral("HeaderRowBox"));
    header_->setPrefix(QStringLiteral("第 "));
    header_->setSuffix(QStringLiteral(" 行"));
    headerCells_ = new QLabel(this);
    headerCells_->setObjectName(QStringLiteral("HeaderCellsLabel"));
    headerCells_->setWordWrap(true);
    template_ = new QPushButton(QStringLiteral("下载导入模板"), this);
    template_->setObjectName(QStringLiteral("TemplateButton"));
    template_->setAutoDefault(false);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(choose_);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("文件："), fileRow);
    auto* sheetRow = new QHBoxLayout;
    sheetRow->addWidget(sheets_, 1);
    sheetRow->addStretch(1);
    auto* headerRow = new QHBoxLayout;
    headerRow->addWidget(header_);
    headerRow->addWidget(headerCells_, 1);
    form->addRow(QStringLiteral("工作表："), sheetRow);
    form->addRow(QStringLiteral("列名所在行："), headerRow);

    auto* hint = new QLabel(
        QStringLiteral("表格的一行写列名（通常是第一行），下面每行一条%1。能认出的列名：\n%2\n"
                       "下一步可以逐列修改对应关系。没有现成的表格时，可以先下载导入模板，"
                       "填好后再导入。")
            .arg(ImportFields::listName(target), knownNames(target)),
        this);
    hint->setObjectName(QStringLiteral("ImportHint"));
    hint->setWordWrap(true);
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(template_);
    templateRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(12);
    layout->addWidget(hint);
    layout->addLayout(templateRow);
    layout->addStretch();
    clear();
}

void ImportFilePage::showFile(const QString& path, const QStringList& sheets) {
    file_->setText(QDir::toNativeSeparators(path));
    const QSignalBlocker quiet(sheets_);
    sheets_->clear();
    sheets_->addItems(sheets);
    sheets_->setEnabled(true);
}

void ImportFilePage::showHeaderRow(int rowNumber, int lastRowNumber) {
    const QSignalBlocker quiet(header_);
    header_->setRange(1, qMax(1, lastRowNumber));
    header_->setValue(rowNumber);
    header_->setEnabled(lastRowNumber > 0);
}

void ImportFilePage::showHeaderCells(const QStringList& cells, qsizetype rowsBelow) {
    QStringList named;
    for (const QString& cell : cells)
        named.append(cell.isEmpty() ? QStringLiteral("（空）") : cell);
    headerCells_->setText(QStringLiteral("该行：%1；下面还有 %2 行")
                              .arg(named.join(QStringLiteral(" | ")))
                              .arg(rowsBelow));
}

void ImportFilePage::clear() {
    file_->clear();
    headerCells_->clear();
    const QSignalBlocker quietSheets(sheets_);
    sheets_->clear();
    sheets_->setEnabled(false);
    const QSignalBlocker quietHeader(header_);
    header_->setRange(1, 1);
    header_->setEnabled(false);
}
