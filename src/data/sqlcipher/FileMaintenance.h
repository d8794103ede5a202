#pragma once

#include "data/Maintenance.h"

// Backup and restore of the encrypted data.mdb: byte copies taken under the engine's shared
// lock, a restore renamed into place under its exclusive lock.
class FileMaintenance final : public Maintenance {
public:
    explicit FileMaintenance(QString database) : database_(std::move(database)) {}

    QString description() const override;
    QString sizeName() const override;
    QString backupNote() const override { return {}; }
    QString restoreQuestion(const QString& time) const override;
    qint64 size() override;
    std::optional<QList<qint64>> backUp(const QString& file, const Progress& progress) override;
    bool sameBackup(const QString& a, const QString& b) override;
    int schemaVersion() override;
    void migrate() override;
    void restore(const QString& file, const QList<Connection*>& connections) override;

private:
    QString database_;
};
