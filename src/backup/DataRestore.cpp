#include "backup/DataRestore.h"

#include "backup/AutoBackup.h"
#include "backup/AutoBackupSettings.h"
#include "data/DatabaseCheck.h"
#include "data/EngineChoice.h"
#include "data/Errors.h"
#include "data/Maintenance.h"
#include "platform/ProgramFolder.h"
#include "ui/Prompts.h"

#include <QCoreApplication>
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
    // What is replaced stays at hand, among the automatic backups; without that copy nothing
    // is replaced.
    if (AutoBackup::beforeRestore(AutoBackupSettings::load()).outcome != AutoBackup::Outcome::Made)
        return false;
    // On a server the file's rows replace the tables' in one transaction; the file is renamed
    // into place under the engine's exclusive lock.
    try {
        EngineChoice::maintenance(ProgramFolder::databaseFile())->restore(chosen, connections_);
    } catch (const AppError&) {
        return false;
    }
    return true;
}
