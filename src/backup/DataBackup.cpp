#include "backup/DataBackup.h"

#include "base/AppError.h"
#include "platform/FileCopy.h"
#include "platform/PendingFile.h"
#include "platform/ProgramFolder.h"
#include "ui/Prompts.h"

DataBackup::DataBackup(QWidget* owner) : owner_(owner) {}

void DataBackup::SpeedButton4Click() {
    const QString chosen = Prompts::instance().saveFileName(owner_);
    if (chosen.isEmpty())
        return;
    // Every write happens inside a handler on this one thread, so none is half done now and
    // the rollback journal is empty: the bytes of the file are the whole database.
    bool copied = false;
    try {
        PendingFile backup(chosen + QStringLiteral(".bak"));
        FileCopy::copy(ProgramFolder::databaseFile(), backup.path());
        backup.commit();
        copied = true;
    } catch (const AppError&) {
        // Reported below in the command's own words.
    }
    Prompts::instance().message(owner_, copied ? QStringLiteral("数据备份成功！")
                                               : QStringLiteral("数据备份失败，请重试！"));
}
