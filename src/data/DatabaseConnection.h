#pragma once

#include <QList>
#include <QString>

class Connection;
class Dataset;

// The connection settings of the program and the routine that re-points the main connection
// and reloads every list.
class DatabaseConnection {
public:
    // The string every connection is created with: the bare file name, resolved against the
    // current directory when the connection opens.
    static QString FormConnectionString();
    // The run-time string, naming data.mdb in the current directory at the moment of the call.
    static QString BuildConnectionString();

    DatabaseConnection(Connection* main, QList<Dataset*> mainQueries);
    // The profile query lives on its own connection and joins once its form exists.
    void setProfileQuery(Dataset* profile) { profile_ = profile; }

    // Closes the main connection and every list, re-points the main connection, reopens the
    // four main lists and the profile list on their plain statements, in that order, and puts
    // each on its last row. Errors pass to the caller; lists after a failing one stay closed.
    void ReopenAll();

private:
    Connection* main_;
    QList<Dataset*> mainQueries_;
    Dataset* profile_ = nullptr;
};
