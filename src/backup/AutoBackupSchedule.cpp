#include "backup/AutoBackupSchedule.h"

#include "backup/AutoBackup.h"
#include "backup/AutoBackupSettings.h"
#include "backup/BackupProgress.h"
#include "data/EngineChoice.h"
#include "data/Maintenance.h"
#include "platform/ProgramFolder.h"
#include "settings/Settings.h"
#include "ui/Prompts.h"

namespace {

// The trouble the last end left, in words, until the next start tells it.
const QString kUntold = QStringLiteral("backup/untold");
// Set once a lack of space has been told, until a backup succeeds again.
const QString kSpaceTold = QStringLiteral("backup/spaceTold");

AutoBackup::Result backUp(const AutoBackupOptions& options) {
    BackupProgress progress;
    return AutoBackup::run(
        options, [&](int percent, const QString& step) { progress.update(percent, step); });
}

// What to tell of a backup; empty when there is nothing new to tell.
QString trouble(const AutoBackup::Result& result) {
    switch (result.outcome) {
    case AutoBackup::Outcome::Made:
        Settings::remove(kSpaceTold);
        return {};
    case AutoBackup::Outcome::Off:
        return {};
    case AutoBackup::Outcome::LowSpace:
        if (Settings::value(kSpaceTold, false).toBool())
            return {};
        Settings::setValue(kSpaceTold, true);
        return QStringLiteral("自动备份已跳过：备份文件夹所在磁盘的可用空间不足%1的两倍。"
                              "请清理磁盘或在“系统设置”的“备份”页另选文件夹。")
            .arg(EngineChoice::maintenance(ProgramFolder::databaseFile())->sizeName());
    case AutoBackup::Outcome::Failed:
        break;
    }
    return QStringLiteral("自动备份失败：") + result.reason;
}

// A backup is due when the newest is a day old, or dated ahead of the clock.
bool due(const AutoBackupOptions& options) {
    const QDateTime newest = AutoBackup::newest(options.backupFolder());
    const QDateTime now = QDateTime::currentDateTime();
    return !newest.isValid() || newest > now || newest.secsTo(now) >= 24 * 60 * 60;
}

} // namespace

namespace AutoBackupSchedule {

void atStart(QWidget* owner) {
    const QString untold = Settings::value(kUntold).toString();
    if (!untold.isEmpty()) {
        Settings::remove(kUntold);
        Prompts::instance().message(owner, untold);
    }
    const AutoBackupOptions options = AutoBackupSettings::load();
    if (!options.enabled || !due(options))
        return;
    // The same trouble as at the last end is told once, not twice in a row.
    const QString text = trouble(backUp(options));
    if (!text.isEmpty() && text != untold)
        Prompts::instance().message(owner, text);
}

void atExit() {
    const QString text = trouble(backUp(AutoBackupSettings::load()));
    if (!text.isEmpty())
        Settings::setValue(kUntold, text);
}

} // namespace AutoBackupSchedule
