#include "backup/DataBackup.h"

#include "backup/DatabaseLock.h"
#include "base/AppError.h"
#include "data/Backend.h"
#include "data/ServerDatabase.h"
#include "data/ServerTransfer.h"
#include "platform/FileCopy.h"
#include "platform/PendingFile.h"
#include "platform/ProgramFolder.h"
#include "ui/Prompts.h"

DataBackup::DataBackup(QWidget* owner) : owner_(owner) {}

void DataBackup::SpeedButton4Click() {
    const QString chosen = Prompts::instance().saveFileName(owner_);
    if (chosen.isEmpty())
        return;
    // The rollback journal keeps a transaction's old pages while its new ones go into the
    // file, so a copy made during another process's write would hold half of it. Under the
    // shared lock no one writes: the bytes of the file are the whole database. (Closing the
    // copy's handle on the file drops this process's locks on it, but only once every byte is
    // read.)
    bool copied = false;
    try {
        PendingFile backup(chosen + QStringLiteral(".bak"), PendingFile::Readers::Owner);
        // On a server the backup is the same encrypted file, written from one snapshot of
        // the server's tables.
        if (!Backend::server().isEmpty()) {
            ServerTransfer::download(*ServerDatabase::connect(Backend::server()), backup.path());
        } else {
            const QString database = ProgramFolder::databaseFile();
            const DatabaseLock noWriter(database, DatabaseLock::Kind::Shared);
            FileCopy::copy(database, backup.path());
        }
        backup.commit();
        copied = true;
    } catch (const AppError&) {
        // Reported below in the command's own words.
    }
    Prompts::instance().message(owner_, copied ? QStringLiteral("数据备份成功！")
                                               : QStringLiteral("数据备份失败，请重试！"));
}
