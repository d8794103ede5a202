#include "backup/BackupPage.h"

#include "backup/AutoBackup.h"
#include "backup/AutoBackupSettings.h"
#include "backup/DataRestore.h"
#include "base/AppError.h"
#include "data/Backend.h"
#include "data/ServerDatabase.h"
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

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

// Where the automatic backup reads the data from, when that is a server; empty on the file.
QString serverNote() {
    const QString uri = Backend::server();
    if (uri.isEmpty())
        return {};
    QString name;
    try {
        name = QLatin1Char(' ') + ServerDatabase::nameOf(uri) + QLatin1Char(' ');
    } catch (const AppError&) {
        // The 数据库 page tells of a malformed address; here the server goes unnamed.
    }
    return QStringLiteral("数据保存在数据库服务器%1上：自动备份从服务器读出全部数据，"
                          "存为本机的备份文件；从备份恢复将替换服务器上各工作站共用的全部数据。")
        .arg(name);
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
    const QString note = serverNote();
    if (!note.isEmpty()) {
        auto* source = new QLabel(note, this);
        source->setObjectName(QStringLiteral("BackupSource"));
        source->setWordWrap(true);
        layout->addWidget(source);
    }
    layout->addWidget(new QLabel(QStringLiteral("自动备份（最新的在前）："), this));
    layout->addWidget(list_, 1);
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
        QTableWidgetItem* time = cell(timeText(entry.time));
        time->setData(Qt::UserRole, entry.file);
        list_->setItem(row, 0, time);
        list_->setItem(row, 1,
                       cell(locale.formattedDataSize(entry.size, 1, QLocale::DataSizeSIFormat),
                            Qt::AlignRight));
        list_->setItem(row, 2, cell(QStringLiteral("…"), Qt::AlignRight));
    }
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
        Backend::server().isEmpty()
            ? QStringLiteral("用 %1 的备份替换当前的数据吗？当前的数据将被覆盖，"
                             "恢复成功后程序将退出。")
            : QStringLiteral("用 %1 的备份替换数据库服务器上的全部数据吗？所有工作站的当前数据"
                             "都将被覆盖，恢复成功后程序将退出。");
    if (!Prompts::instance().confirmRemoval(this, question.arg(time->text())))
        return;
    restore_->restoreFrom(time->data(Qt::UserRole).toString());
}
