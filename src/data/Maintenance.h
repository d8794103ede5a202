#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class Connection;

// What backup, restore and the settings need of the database in use, whichever engine holds
// it. Backup files are always the program's encrypted database file.
class Maintenance {
public:
    using Progress = std::function<void(qint64 done, qint64 total)>;

    virtual ~Maintenance() = default;

    // Where the data is, for the user: "本机的数据文件 …" or "数据库服务器 host:port/db".
    virtual QString description() const = 0;
    // What the space a backup needs is measured against, in the user's words.
    virtual QString sizeName() const = 0;
    // What the backup page says of where backups come from and what a restore replaces; empty
    // when there is nothing to add.
    virtual QString backupNote() const = 0;
    // The question before a restore from the backup of `time`.
    virtual QString restoreQuestion(const QString& time) const = 0;
    // About the bytes a backup of the data takes; fails when the data cannot be reached.
    virtual qint64 size() = 0;

    // Writes a complete backup into `file` (a file made ready for it, empty or of no size yet)
    // from one consistent state of the data; returns the rows of each of the five tables in
    // that state (Schema::tableNames() order), for the check of the file. Nothing when the
    // data cannot be read as the program's (a damaged file is still copied as it is). Fails with
    // AppError.
    virtual std::optional<QList<qint64>> backUp(const QString& file, const Progress& progress) = 0;
    // Whether two backups made this way hold the same data.
    virtual bool sameBackup(const QString& a, const QString& b) = 0;

    // The schema version of the data (see Schema::version); fails when it cannot be read.
    virtual int schemaVersion() = 0;
    // Runs every migration step above the data's version in one transaction, nothing of it
    // left when a step fails, which fails with a message naming the step.
    virtual void migrate() = 0;

    // Puts the data of a checked backup file in place of the data in use. `connections` are
    // closed first where the engine must replace what they hold open. Fails with AppError;
    // a failure leaves the data as it was.
    virtual void restore(const QString& file, const QList<Connection*>& connections) = 0;
};
