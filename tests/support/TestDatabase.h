#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class ServerDatabase;

// A folder of its own holding a fresh data.mdb; it becomes the current directory (where the
// connections look for the file) while the object lives. When NOTE_TEST_SERVER names a
// PostgreSQL server, the program works on that server's database instead, built afresh, and
// the statements below run there (with rowid read as the hidden key).
class TestDatabase {
public:
    // The server of this run, empty when the run is on the file.
    static QString server();

    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    QString folder() const { return dir_.path(); }
    QString file() const { return dir_.filePath(QStringLiteral("data.mdb")); }

    // Runs statements straight on the file (outside the program's connections).
    void exec(const QString& sql) const;
    // Rows of a query as lists of texts (NULL as "<null>").
    QList<QStringList> rows(const QString& sql) const;
    // A whole table, every column, in rowid order.
    QList<QStringList> table(const QString& name) const;
    int count(const QString& table) const;

private:
    QTemporaryDir dir_;
    QString previous_;
    std::unique_ptr<ServerDatabase> server_;
};
