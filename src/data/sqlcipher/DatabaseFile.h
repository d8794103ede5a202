#pragma once

#include "data/Engine.h"

#include <QHash>
#include <QString>
#include <memory>

struct sqlite3;

// The engine of the encrypted database file: one engine handle that every connection naming
// the file with the same password shares. Every write the data layer makes is counted here per
// table; a write by anyone else (another process, or a handle of the file that is not this one)
// changes the engine's data version, and every table of the file then counts as changed.
class DatabaseFile final : public Engine {
public:
    // The file the connections with this path and password share; opened when none has it
    // open. A missing file or a wrong password fails with the engine's text.
    static std::shared_ptr<DatabaseFile> open(const QString& path, const QString& password);
    ~DatabaseFile() override;
    DatabaseFile(const DatabaseFile&) = delete;
    DatabaseFile& operator=(const DatabaseFile&) = delete;

    sqlite3* handle() const { return db_; }

    Snapshot load(const Query& query) override;
    bool hasRows(const QString& table) override;
    qint64 insert(const QString& table, const QList<ListField>& fields, const QList<int>& set,
                  const QList<Value>& values, RowStore::Packer& stored) override;
    void update(const QString& table, const Snapshot& list, int row, const QList<int>& set,
                const QList<Value>& values, RowStore::Packer& stored) override;
    void remove(const QString& table, const Snapshot& list, int row) override;
    bool storesNul() const override { return true; }

    void begin() override;
    void commit() override;
    void rollback() override;
    // BEGIN IMMEDIATE already keeps every other writer out.
    void holdUntilEnd(const QString&) override {}

    quint64 generation(const QString& table) override;
    quint64 wrote(const QString& table, const RowChange& change, const Snapshot* writer,
                  quint64 writerGeneration) override;

    // One workstation works on a file: nothing is handed out but what the table holds.
    QList<IssuedNumber> issuedNumbers(const QString&) override { return {}; }
    bool takeNumber(const QString&) override { return true; }

    void refillPrintBuffer(const QString& bill) override;
    std::optional<Price> lastPrice(const QString& contact, const QString& code) override;

    // The statement of a query, ?1 standing for its bound value.
    static QString sql(const Query& query);
    // The last-price statement, ?1 the contact and ?2 the code (for the benchmark's raw run).
    static QString lastPriceSql();

private:
    DatabaseFile(sqlite3* db, QString key);
    void exec(const char* sql);
    void checkForeignWrites();
    void forgetAll();
    RowStore::Packer readRow(const QString& table, qint64 rowid);

    sqlite3* db_;
    QString key_;
    quint64 device_ = 0;
    quint64 inode_ = 0;
    qint64 dataVersion_ = 0;
    quint64 counter_ = 0;
    quint64 floor_ = 0;
    QHash<QString, quint64> written_;
    bool inTransaction_ = false;
};

// The engine's current message as a DataError.
[[noreturn]] void throwEngineError(sqlite3* db);
