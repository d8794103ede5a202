#include "backup/DatabaseUpgrade.h"

#include "backup/AutoBackup.h"
#include "backup/AutoBackupSettings.h"
#include "base/AppError.h"
#include "data/EngineChoice.h"
#include "data/Maintenance.h"
#include "data/Schema.h"
#include "platform/ProgramFolder.h"
#include "ui/Prompts.h"

#include <QDir>

namespace DatabaseUpgrade {

bool atStart(QWidget* owner) {
    const std::unique_ptr<Maintenance> data =
        EngineChoice::maintenance(ProgramFolder::databaseFile());
    int version = 0;
    try {
        version = data->schemaVersion();
    } catch (const AppError&) {
        // A database that cannot be read is the first connection's to report.
        return true;
    }
    if (version > Schema::version()) {
        Prompts::instance().message(
            owner,
            QStringLiteral("数据库由更新版本的程序创建（版本 %1），请升级本程序。").arg(version));
        return false;
    }
    if (version == Schema::version())
        return true;
    const AutoBackup::Result backup = AutoBackup::beforeUpgrade(AutoBackupSettings::load());
    if (backup.outcome != AutoBackup::Outcome::Made) {
        Prompts::instance().message(
            owner,
            QStringLiteral("数据库需要升级到版本 %1，但升级前的备份没有成功：%2数据库没有改动。")
                .arg(Schema::version())
                .arg(backup.reason));
        return false;
    }
    try {
        data->migrate();
    } catch (const AppError& e) {
        Prompts::instance().message(owner,
                                    QStringLiteral("%1 数据库没有改动；升级前的备份在“%2”。")
                                        .arg(e.message(), QDir::toNativeSeparators(backup.file)));
        return false;
    }
    return true;
}

} // namespace DatabaseUpgrade
