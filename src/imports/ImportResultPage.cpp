#include "imports/ImportResultPage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ImportResultPage::ImportResultPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ImportResultPage"));
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("ResultLabel"));
    QFont larger = result_->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.2);
    larger.setBold(true);
    result_->setFont(larger);
    skipped_ = new QListWidget(this);
    skipped_->setObjectName(QStringLiteral("SkippedList"));
    save_ = new QPushButton(QStringLiteral("保存跳过的行…"), this);
    save_->setObjectName(QStringLiteral("SaveSkippedButton"));
    save_->setAutoDefault(false);
    auto* saveRow = new QHBoxLayout;
    saveRow->addWidget(save_);
    saveRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(result_);
    layout->addWidget(new QLabel(QStringLiteral("跳过的行及原因："), this));
    layout->addWidget(skipped_, 1);
    layout->addLayout(saveRow);
}

QString ImportResultPage::summary(const ImportWriter::Outcome& outcome) {
    return QStringLiteral("导入 %1 条，更新 %2 条，跳过 %3 条")
        .arg(outcome.added)
        .arg(outcome.updated)
        .arg(outcome.skipped.size());
}

void ImportResultPage::showOutcome(const ImportPlan& plan, const ImportWriter::Outcome& outcome) {
    result_->setText(summary(outcome));
    skipped_->clear();
    for (const ImportWriter::Skipped& skip : outcome.skipped)
        skipped_->addItem(QStringLiteral("第 %1 行：%2")
                              .arg(plan.rows()[skip.planRow].sheetRow)
                              .arg(skip.reason));
    if (outcome.skipped.isEmpty())
        skipped_->addItem(QStringLiteral("没有跳过的行。"));
    save_->setEnabled(!outcome.skipped.isEmpty());
}
