#pragma once

#include <QObject>
#include <QString>

struct sqlite3;

// One connection to the database file. The connection string names the file ("Data Source",
// relative names against the current directory at the moment of opening) and the password;
// other keys are accepted and ignored. The file is opened read-write and never created: a
// missing data.mdb is an open error.
class Connection : public QObject {
    Q_OBJECT
public:
    explicit Connection(QObject* parent = nullptr);
    ~Connection() override;

    void setConnectionString(const QString& text);
    const QString& connectionString() const { return connectionString_; }

    void open();
    // Closing also closes every data set on the connection.
    void close();
    bool isOpen() const { return db_ != nullptr; }

    // The open handle; opens the connection first when it is closed.
    sqlite3* handle();

    // Runs statements without results; fails with the engine's text.
    void execute(const QString& sql);

    // Key/value pairs of a connection string; values lose their surrounding double quotes.
    static QString valueOf(const QString& connectionString, const QString& key);

signals:
    void aboutToClose();

private:
    QString connectionString_;
    sqlite3* db_ = nullptr;
};

// Groups writes into one transaction; rolls back unless committed.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& connection_;
    bool done_ = false;
};

// The engine's current message as a DataError.
[[noreturn]] void throwEngineError(sqlite3* db);
