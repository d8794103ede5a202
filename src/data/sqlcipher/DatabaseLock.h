#pragma once

#include <QString>

struct sqlite3;

// A lock on data.mdb taken the engine's way, on a connection of its own, so that it counts
// against every other connection to the file, in this process and in any other. Taking it
// first rolls back a transaction that a killed writer left half done.
class DatabaseLock {
public:
    enum class Kind {
        Shared,   // no one writes the file while it is held
        Exclusive // no one reads or writes it
    };

    // Waits as long as a connection waits for a writer, then fails with AppError. A file that
    // is no database of ours (missing, damaged, another password) takes no lock and needs
    // none: no connection of the program can write it.
    DatabaseLock(const QString& file, Kind kind);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    // The lock's own connection, keyed, inside its transaction; null when no lock was needed.
    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};
