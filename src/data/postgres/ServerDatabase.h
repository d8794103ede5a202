#pragma once

#include "data/Engine.h"
#include "data/Errors.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

struct pg_conn;
struct pg_result;

// The server asks for a password and the address gives none.
class PasswordNeeded : public DataError {
public:
    using DataError::DataError;
};

// The rows a statement on the server returned, as text.
class ServerResult {
public:
    explicit ServerResult(pg_result* result) : result_(result) {}
    ~ServerResult();
    ServerResult(ServerResult&& other) noexcept : result_(other.result_) {
        other.result_ = nullptr;
    }
    ServerResult(const ServerResult&) = delete;
    ServerResult& operator=(const ServerResult&) = delete;
    ServerResult& operator=(ServerResult&&) = delete;

    int rows() const;
    int columns() const;
    QString name(int column) const;
    unsigned int type(int column) const;
    bool isNull(int row, int column) const;
    const char* value(int row, int column) const;
    int length(int row, int column) const;
    // One row's values at once, for a long read: each column's bytes and length, and no bytes
    // for NULL.
    struct Value {
        const char* bytes;
        int length;
    };
    void row(int row, Value* values) const;
    // Rows an INSERT, UPDATE or DELETE touched.
    qint64 affected() const;

private:
    friend class ServerDatabase;
    pg_result* result_;
};

// The engine of a PostgreSQL server that a libpq URI names: one session, shared by the
// connections of this process that name the same server for the same workstation. It keeps the
// whole tables lists last loaded, and tells by the server's per-table change counters (kept by
// triggers in the writing transaction) whether a kept table still equals the table on the
// server. Rows are addressed by a hidden identity key; the print buffer 表4 keeps each
// workstation's rows apart.
class ServerDatabase final : public Engine {
public:
    using Param = std::optional<QByteArray>;

    // Connects, or returns the session already open. Fails with a message naming the server;
    // the password never appears in it.
    static std::shared_ptr<ServerDatabase> open(const QString& uri, const QString& workstation);
    // A one-off session, not shared, e.g. for a tool or a connection test; `password`, when
    // given, stands for the address's. Fails with PasswordNeeded when the server asks for a
    // password and none is given.
    static std::unique_ptr<ServerDatabase> connect(const QString& uri,
                                                   const QString& password = {});
    // host:port/database of a URI, without connecting; fails as connect() does on a malformed one.
    static QString nameOf(const QString& uri);
    // Whether the address holds a password; fails as nameOf() does.
    static bool namesPassword(const QString& uri);
    ~ServerDatabase() override;
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    const QString& workstation() const { return workstation_; }
    // host:port/database, for messages.
    const QString& serverName() const { return name_; }
    QString serverVersion() const;

    // Runs one statement with its values bound (never spliced into the text); a failure throws
    // DataError with the server's message. A session found dropped is reconnected first (if
    // that fails, the message names the server); a session that drops during the statement
    // fails it with a message naming the server, since a write may or may not have landed.
    // Inside a transaction the server dropped, every statement fails until the rollback: the
    // rest of it must not land on its own.
    ServerResult exec(const QString& sql, const QList<Param>& params = {});
    // The same for a statement that changes nothing: outside a transaction, when the session
    // drops during it, it runs once more on a new session.
    ServerResult read(const QString& sql, const QList<Param>& params = {});
    // The same with the values in the server's binary form (numbers as their bytes, texts as
    // they are), which a long list reads without parsing every number's text.
    ServerResult readBinary(const QString& sql, const QList<Param>& params = {});
    // Streams rows into `COPY ... FROM STDIN`: `lines` is the data in COPY's text format.
    void copyIn(const QString& sql, const QByteArray& lines);

    Snapshot load(const Query& query) override;
    bool hasRows(const QString& table) override;
    qint64 insert(const QString& table, const QList<ListField>& fields, const QList<int>& set,
                  const QList<Value>& values, RowStore::Packer& stored) override;
    void update(const QString& table, const Snapshot& list, int row, const QList<int>& set,
                const QList<Value>& values, RowStore::Packer& stored) override;
    void remove(const QString& table, const Snapshot& list, int row) override;
    // The server's texts cannot hold a NUL character.
    bool storesNul() const override { return false; }

    quint64 generation(const QString& table) override;
    quint64 wrote(const QString& table, const RowChange& change, const Snapshot* writer,
                  quint64 writerGeneration) override;

    QList<IssuedNumber> issuedNumbers(const QString& prefix) override;
    bool takeNumber(const QString& number) override;
    void refillPrintBuffer(const QString& bill) override;
    std::optional<Price> lastPrice(const QString& contact, const QString& code) override;

    void begin() override;
    // For the rest of the transaction a statement may take as long as it needs (a transfer's
    // work on every row): no limit on the server, and a long wait for its answer.
    void allowLongStatements();
    void commit() override;
    void rollback() override;
    void holdUntilEnd(const QString& name) override;
    bool inTransaction() const { return inTransaction_; }

private:
    ServerDatabase(pg_conn* conn, QString name, QString secret);
    ServerResult run(const QString& sql, const QList<Param>& params, bool again,
                     bool binary = false);
    // Sends a statement; a transaction's BEGIN not sent yet goes first, in a pipeline with it.
    bool send(const QByteArray& sql, const QVector<const char*>& values, bool binary,
              bool withBegin);
    // The statement's result after a pipelined BEGIN (BEGIN's own when that failed).
    pg_result* awaitPipeline();
    // The result of the statement sent, the last of several; none when the server stays
    // silent too long, which leaves the session marked silent until it is reset.
    pg_result* awaitResult();
    bool connected() const;
    void ensureConnected();
    [[noreturn]] void fail(const QString& reason) const;
    [[noreturn]] void dropped() const;
    QString scrub(QString text) const;

    pg_conn* conn_;
    QString name_;
    QString secret_;
    QString workstation_;
    QString key_;
    bool inTransaction_ = false;
    // The transaction's BEGIN waits for its first statement, so both take one round trip.
    bool beginPending_ = false;
    bool silent_ = false;
    bool longStatements_ = false;
};
