#include "backup/DataBackup.h"

#include "base/AppError.h"
#include "data/EngineChoice.h"
#include "data/Maintenance.h"
#include "platform/PendingFile.h"
#include "platform/ProgramFolder.h"
#include "ui/Prompts.h"

DataBackup::DataBackup(QWidget* owner) : owner_(owner) {}

void DataBackup::SpeedButton4Click() {
    const QString chosen = Prompts::instance().saveFileName(owner_);
    if (chosen.isEmpty())
        return;
    // The engine writes the backup from one consistent state of the data: a copy of data.mdb
    // no one writes meanwhile, or the file written from one snapshot of a server's tables.
    bool copied = false;
    try {
        PendingFile backup(chosen + QStringLiteral(".bak"), PendingFile::Readers::Owner);
        EngineChoice::maintenance(ProgramFolder::databaseFile())->backUp(backup.path(), {});
        backup.commit();
        copied = true;
    } catch (const AppError&) {
        // Reported below in the command's own words.
    }
    Prompts::instance().message(owner_, copied ? QStringLiteral("数据备份成功！")
                                               : QStringLiteral("数据备份失败，请重试！"));
}
