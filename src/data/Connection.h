#pragma once

#include <QObject>
#include <QString>
#include <memory>

class DatabaseFile;
class ServerDatabase;
struct sqlite3;

// One connection to the database file. The connection string names the file ("Data Source",
// relative names against the current directory at the moment of opening) and the password;
// other keys are accepted and ignored. The file is opened read-write and never created: a
// missing data.mdb is an open error. Connections of the process that name the same file share
// one engine handle (see DatabaseFile); each still opens and closes on its own.
// When the process works on a database server (see Backend), the connection opens a session
// with it instead, and the connection string is not used.
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
    bool isOpen() const { return file_ != nullptr || server_ != nullptr; }

    // The server this connection works on; empty for the local file.
    const QString& serverUri() const { return serverUri_; }
    // The open server session, or none when the connection works on the file; opens the
    // connection first when it is closed.
    ServerDatabase* server();

    // The open handle; opens the connection first when it is closed.
    sqlite3* handle();
    // The open file; opens the connection first when it is closed.
    DatabaseFile& file();

    // Key/value pairs of a connection string; values lose their surrounding double quotes.
    static QString valueOf(const QString& connectionString, const QString& key);

signals:
    void aboutToClose();

private:
    friend class Transaction;
    QString connectionString_;
    QString serverUri_;
    QString workstation_;
    std::shared_ptr<DatabaseFile> file_;
    std::shared_ptr<ServerDatabase> server_;
};

// Groups writes into one transaction; rolls back unless committed, even when the connection
// has closed meanwhile.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    std::shared_ptr<DatabaseFile> file_;
    std::shared_ptr<ServerDatabase> server_;
    bool done_ = false;
};

// The engine's current message as a DataError.
[[noreturn]] void throwEngineError(sqlite3* db);
