#include "backup/DataRestore.h"

#include "backup/DatabaseCheck.h"
#include "backup/DatabaseLock.h"
#include "data/Backend.h"
#include "data/Connection.h"
#include "data/Errors.h"
#include "data/ServerDatabase.h"
#include "data/ServerTransfer.h"
#include "platform/FileCopy.h"
#include "platform/FolderSync.h"
#include "platform/PendingFile.h"
#include "platform/ProgramFolder.h"
#include "ui/Prompts.h"

#include <QCoreApplication>
#include <QFile>
#include <QWidget>
#include <optional>

DataRestore::DataRestore(QWidget* owner, QList<Connection*> connections)
    : owner_(owner), connections_(std::move(connections)) {}

void DataRestore::SpeedButton5Click() {
    const QString chosen = Prompts::instance().openFileName(owner_);
    if (chosen.isEmpty())
        return;
    restoreFrom(chosen);
}

void DataRestore::restoreFrom(const QString& file) {
    if (!replaceDatabase(file)) {
        Prompts::instance().message(owner_, QStringLiteral("数据恢复失败，请重试！"));
        return;
    }
    succeeded_ = true;
    Prompts::instance().message(owner_, QStringLiteral("数据恢复成功！"));
    owner_->window()->close();
    QCoreApplication::quit();
}

bool DataRestore::replaceDatabase(const QString& chosen) {
    // Refused before anything is written beside data.mdb.
    if (!DatabaseCheck::isUsable(chosen))
        return false;
    // On a server the file's rows replace the five tables' in one transaction.
    if (!Backend::server().isEmpty()) {
        try {
            ServerTransfer::replace(*ServerDatabase::connect(Backend::server()), chosen);
        } catch (const AppError&) {
            return false;
        }
        return true;
    }
    const QString database = ProgramFolder::databaseFile();
    const QString journal = database + QStringLiteral("-journal");
    try {
        PendingFile copy(database);
        FileCopy::copy(chosen, copy.path());
        // The copy is what goes in place, so it is the one that must be sound.
        if (!DatabaseCheck::isUsable(copy.path()))
            return false;
        // Should the rename still fail, the lists stay closed until the refresh command opens
        // them again.
        for (Connection* connection : connections_)
            connection->close();
        // No one may write the old file while it is replaced, and a transaction left half done
        // in it is rolled back first. Its journal must be gone, on disk too, before the new
        // file comes: left beside the new one, the next opening would play the old file's
        // pages into it.
        std::optional<DatabaseLock> alone(std::in_place, database, DatabaseLock::Kind::Exclusive);
        if (QFile::exists(journal) && !QFile::remove(journal))
            return false;
        FolderSync::sync(ProgramFolder::path());
        // Windows replaces no file that is open, the lock's own connection's included.
        copy.commit([&] { alone.reset(); });
    } catch (const AppError&) {
        return false;
    }
    return true;
}
