#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct sqlite3;

// An open, keyed handle on a database file, outside the program's connections. Keying costs the
// cipher's key derivation, so a test that looks at the tables often keeps one open.
class KeyedFile {
public:
    enum class Mode { ReadOnly, ReadWrite };
    KeyedFile(const QString& file, Mode mode);
    ~KeyedFile();
    KeyedFile(const KeyedFile&) = delete;
    KeyedFile& operator=(const KeyedFile&) = delete;

    sqlite3* handle() const { return db_; }
    // Rows of a query as lists of texts (NULL as "<null>"); nothing when it cannot be prepared.
    QList<QStringList> rows(const QString& sql) const;
    // A whole table, every column, in rowid order.
    QList<QStringList> table(const QString& name) const;

private:
    sqlite3* db_ = nullptr;
};
