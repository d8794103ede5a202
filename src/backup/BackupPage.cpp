#include "backup/BackupPage.h"

#include "backup/AutoBackup.h"
#include "backup/AutoBackupSettings.h"
#include "backup/DataRestore.h"
#include "base/AppError.h"
#include "data/EngineChoice.h"
#include "data/Maintenance.h"
#include "platform/ProgramFolder.h"
#include "ui/Guard.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString timeText(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy/M/d HH:mm:ss"));
}

// How the list marks the backups made before a restore or an upgrade.
QString kindMark(BackupRetention::Kind kind) {
    switch (kind) {
    case BackupRetention::Kind::BeforeRestore:
        return QStringLiteral("（恢复前）");
    case BackupRetention::Kind::BeforeUpgrade:
        return QStringLiteral("（升级前）");
    case BackupRetention::Kind::Ordinary:
        break;
    }
    return {};
}

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

} // namespace

BackupPage::BackupPage(DataRestore* restore, QWidget* parent)
    : SettingsPage(parent), restore_(restore) {
    setObjectName(QStringLiteral("BackupPage"));
    enabled_ = new QCheckBox(QStringLiteral("退出软件时及每天首次启动时自动备份数据"), this);
    enabled_->setObjectName(QStringLiteral("BackupEnabled"));
    folder_ = new QLineEdit(this);
    folder_->setObjectName(QStringLiteral("BackupFolder"));
    folder_->setPlaceholderText(QDir::toNativeSeparators(AutoBackupOptions().backupFolder()));
    folder_->setToolTip(QStringLiteral("留空则备份到数据文件夹中的“自动备份”文件夹"));
    keep_ = new QSpinBox(this);
    keep_->setObjectName(QStringLiteral("BackupKeep"));
    keep_->setRange(1, 999);
    keep_->setSuffix(QStringLiteral(" 份"));

    list_ = new QTableWidget(0, 3, this);
    list_->setObjectName(QStringLiteral("BackupList"));
    list_->setHorizontalHeaderLabels(
        {QStringLiteral("备份时间"), QStringLiteral("大小"), QStringLiteral("送货记录")});
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    restoreButton_ = new QPushButton(QStringLiteral("从此备份恢复"), this);
    restoreButton_->setObjectName(QStringLiteral("RestoreFromBackup"));
    // Room for its caption in any face the system falls back to for Chinese text.
    restoreButton_->setMinimumWidth(
        restoreButton_->fontMetrics().horizontalAdvance(restoreButton_->text()) +
        4 * restoreButton_->fontMetrics().averageCharWidth());
    connect(restoreButton_, &QPushButton::clicked, this,
            guardedSlot(this, [this] { restoreChosen(); }));
    counting_ = new QTimer(this);
    counting_->setInterval(0);
    connect(counting_, &QTimer::timeout, this, guardedSlot(this, [this] { countNext(); }));

    auto* browse = new QPushButton(QStringLiteral("浏览…"), this);
    browse->setObjectName(QStringLiteral("BrowseBackupFolder"));
    connect(browse, &QPushButton::clicked, this, guardedSlot(this, [this] { chooseFolder(); }));
    auto* folderLine = new QHBoxLayout;
    folderLine->addWidget(folder_, 1);
    folderLine->addWidget(browse);

    auto* form = new QFormLayout;
    form->addRow(enabled_);
    form->addRow(QStringLiteral("备份文件夹："), folderLine);
    form->addRow(QStringLiteral("保留最近的："), keep_);
    form->addRow(new QLabel(QStringLiteral("另外每月保留最新的一份，共保留 12 个月。"), this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    const QString note = EngineChoice::maintenance(ProgramFolder::databaseFile())->backupNote();
    if (!note.isEmpty()) {
        auto* source = new QLabel(note, this);
        source->setObjectName(QStringLiteral("BackupSource"));
        source->setWordWrap(true);
        layout->addWidget(source);
    }
    layout->addWidget(new QLabel(QStringLiteral("自动备份（最新的在前）："), this));
    layout->addWidget(list_, 1);
    location_ = new QLabel(this);
    location_->setObjectName(QStringLiteral("BackupLocation"));
    location_->setWordWrap(true);
    location_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(location_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(restoreButton_);
    layout->addLayout(buttons);
}

void BackupPage::chooseFolder() {
    const QString shown = folder_->text().isEmpty() ? folder_->placeholderText() : folder_->text();
    const QString chosen =
        Prompts::instance().folderName(this, QDir::fromNativeSeparators(shown.trimmed()));
    if (!chosen.isEmpty())
        folder_->setText(QDir::toNativeSeparators(chosen));
}

QString BackupPage::title() const {
    return QStringLiteral("备份");
}

void BackupPage::load() {
    const AutoBackupOptions options = AutoBackupSettings::load();
    enabled_->setChecked(options.enabled);
    folder_->setText(QDir::toNativeSeparators(options.folder));
    keep_->setValue(options.keep);
    fillList(options.backupFolder());
}

QString BackupPage::check() const {
    const QString folder = folder_->text().trimmed();
    if (folder.isEmpty())
        return {};
    const QFileInfo info(QDir::fromNativeSeparators(folder));
    if (info.isRelative())
        return QStringLiteral("备份文件夹必须是完整的路径！");
    if (info.exists() && !info.isDir())
        return QStringLiteral("“%1”不是文件夹！").arg(folder);
    return {};
}

void BackupPage::store() {
    AutoBackupOptions options;
    options.enabled = enabled_->isChecked();
    options.folder = QDir::fromNativeSeparators(folder_->text().trimmed());
    options.keep = keep_->value();
    AutoBackupSettings::store(options);
}

void BackupPage::fillList(const QString& folder) {
    const QList<AutoBackup::Entry> entries = AutoBackup::entries(folder);
    list_->setRowCount(static_cast<int>(entries.size()));
    const QLocale locale;
    for (int row = 0; row < entries.size(); ++row) {
        const AutoBackup::Entry& entry = entries[row];
        QTableWidgetItem* time = cell(timeText(entry.time) + kindMark(entry.kind));
        time->setData(Qt::UserRole, entry.file);
        list_->setItem(row, 0, time);
        list_->setItem(row, 1,
                       cell(locale.formattedDataSize(entry.size, 1, QLocale::DataSizeSIFormat),
                            Qt::AlignRight));
        list_->setItem(row, 2, cell(QStringLiteral("…"), Qt::AlignRight));
    }
    location_->setText(QStringLiteral("备份保存在“%1”。恢复数据或升级数据库之前，当前的数据也先"
                                      "备份到这里，列表中标有“恢复前”或“升级前”。")
                           .arg(QDir::toNativeSeparators(folder)));
    list_->resizeColumnToContents(1);
    list_->setColumnWidth(2, 90);
    if (!entries.isEmpty())
        list_->selectRow(0);
    restoreButton_->setEnabled(!entries.isEmpty());
    counted_ = 0;
    if (!entries.isEmpty())
        counting_->start();
}

void BackupPage::countNext() {
    if (counted_ >= list_->rowCount()) {
        counting_->stop();
        return;
    }
    const int row = counted_++;
    const auto rows = AutoBackup::deliveries(list_->item(row, 0)->data(Qt::UserRole).toString());
    list_->item(row, 2)->setText(rows ? QLocale().toString(*rows) : QStringLiteral("无法读取"));
}

void BackupPage::restoreChosen() {
    const QList<QTableWidgetItem*> chosen = list_->selectedItems();
    if (chosen.isEmpty()) {
        Prompts::instance().message(this, QStringLiteral("请先选择一个备份！"));
        return;
    }
    const QTableWidgetItem* time = list_->item(chosen.constFirst()->row(), 0);
    const QString question =
        EngineChoice::maintenance(ProgramFolder::databaseFile())->restoreQuestion(time->text());
    if (!Prompts::instance().confirmRemoval(this, question))
        return;
    restore_->restoreFrom(time->data(Qt::UserRole).toString());
}
