#pragma once

#include "data/Maintenance.h"

// Backup and restore of a server database: a backup is the program's encrypted file written
// from one snapshot of the server's tables; a restore replaces the tables' rows in one
// transaction, for every workstation at once.
class ServerMaintenance final : public Maintenance {
public:
    explicit ServerMaintenance(QString uri) : uri_(std::move(uri)) {}

    QString description() const override;
    QString sizeName() const override;
    QString backupNote() const override;
    QString restoreQuestion(const QString& time) const override;
    qint64 size() override;
    std::optional<QList<qint64>> backUp(const QString& file, const Progress& progress) override;
    bool sameBackup(const QString& a, const QString& b) override;
    int schemaVersion() override;
    void migrate() override;
    void restore(const QString& file, const QList<Connection*>& connections) override;

private:
    QString name() const;

    QString uri_;
};
