#include "settings/SettingsForm.h"

#include "settings/SettingsPage.h"
#include "ui/Guard.h"
#include "ui/Prompts.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TSettingsForm::TSettingsForm(QWidget* parent) : QDialog(parent), tabs_(new QTabWidget(this)) {
    setObjectName(QStringLiteral("TSettingsForm"));
    setWindowTitle(QStringLiteral("系统设置"));
    setModal(true);
    tabs_->setObjectName(QStringLiteral("SettingsTabs"));

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("SettingsOk"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("SettingsCancel"));
    connect(ok, &QPushButton::clicked, this, guardedSlot(this, [this] { SettingsOkClick(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);
    resize(560, 440);
}

void TSettingsForm::addPage(SettingsPage* page) {
    pages_.append(page);
    tabs_->addTab(page, page->title());
    page->load();
}

void TSettingsForm::SettingsOkClick() {
    for (int i = 0; i < pages_.size(); ++i) {
        const QString refusal = pages_[i]->check();
        if (!refusal.isEmpty()) {
            tabs_->setCurrentIndex(i);
            Prompts::instance().error(this, refusal);
            return;
        }
    }
    for (SettingsPage* page : pages_)
        page->store();
    accept();
}
