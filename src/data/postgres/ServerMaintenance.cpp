#include "data/postgres/ServerMaintenance.h"

#include "data/DatabaseCheck.h"
#include "data/Errors.h"
#include "data/postgres/ServerDatabase.h"
#include "data/postgres/ServerSchema.h"
#include "data/postgres/ServerTransfer.h"

QString ServerMaintenance::name() const {
    try {
        return ServerDatabase::nameOf(uri_);
    } catch (const AppError&) {
        return QStringLiteral("（地址格式不对）");
    }
}

QString ServerMaintenance::description() const {
    return QStringLiteral("数据库服务器 %1").arg(name());
}

QString ServerMaintenance::sizeName() const {
    return QStringLiteral("服务器上数据所占空间");
}

QString ServerMaintenance::backupNote() const {
    return QStringLiteral("数据保存在数据库服务器 %1 上：自动备份从服务器读出全部数据，"
                          "存为本机的备份文件；从备份恢复将替换服务器上各工作站共用的全部数据。")
        .arg(name());
}

QString ServerMaintenance::restoreQuestion(const QString& time) const {
    return QStringLiteral("用 %1 的备份替换数据库服务器上的全部数据吗？所有工作站的当前数据"
                          "都将被替换（先备份到备份文件夹，标有“恢复前”），恢复成功后程序将"
                          "退出。")
        .arg(time);
}

qint64 ServerMaintenance::size() {
    // Read from the catalogue, without a pass over the rows. The server keeps each row with a
    // longer header than the file and with its hidden columns, and the indexes are counted
    // too, so this is no less than the file that the same rows make.
    return ServerTransfer::size(*ServerDatabase::connect(uri_));
}

std::optional<QList<qint64>> ServerMaintenance::backUp(const QString& file,
                                                       const Progress& progress) {
    return ServerTransfer::download(*ServerDatabase::connect(uri_), file, progress);
}

bool ServerMaintenance::sameBackup(const QString& a, const QString& b) {
    // Each backup is written afresh, so its bytes differ even when its rows do not.
    return DatabaseCheck::sameRows(a, b);
}

int ServerMaintenance::schemaVersion() {
    return ServerSchema::version(*ServerDatabase::connect(uri_));
}

void ServerMaintenance::migrate() {
    ServerSchema::migrate(*ServerDatabase::connect(uri_));
}

void ServerMaintenance::restore(const QString& file, const QList<Connection*>&) {
    ServerTransfer::replace(*ServerDatabase::connect(uri_), file);
}
