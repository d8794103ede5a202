#pragma once

#include "data/EngineChoice.h"

#include <QObject>
#include <QString>
#include <memory>

class Engine;

// One connection to the database. On the local file the connection string names the file
// ("Data Source", relative names against the current directory at the moment of opening) and
// the password; other keys are accepted and ignored. The file is opened read-write and never
// created: a missing data.mdb is an open error. On a server (see EngineChoice) the connection
// string is not used. Connections of the process that name the same database share one engine;
// each still opens and closes on its own.
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
    bool isOpen() const { return engine_ != nullptr; }

    // The open engine; opens the connection first when it is closed.
    Engine& engine();

    // Key/value pairs of a connection string; values lose their surrounding double quotes.
    static QString valueOf(const QString& connectionString, const QString& key);

signals:
    void aboutToClose();

private:
    friend class Transaction;
    QString connectionString_;
    EngineChoice::Choice choice_;
    std::shared_ptr<Engine> engine_;
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
    std::shared_ptr<Engine> engine_;
    bool done_ = false;
};
