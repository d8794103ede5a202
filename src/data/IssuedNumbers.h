#pragma once

#include <QList>
#include <QString>

class Connection;

// Numbers handed out on a server database, kept in a hidden table whose key is the number, so
// that two workstations asking at the same moment can never both take one. On the local file
// there is one workstation and nothing is kept.
class IssuedNumbers {
public:
    explicit IssuedNumbers(Connection* connection) : connection_(connection) {}

    // Whether numbers are kept: the connection works on a server.
    bool kept() const;

    struct Issued {
        QString number;
        bool mine = false; // taken by this workstation
    };
    // The numbers taken so far that start with the prefix.
    QList<Issued> startingWith(const QString& prefix) const;
    // Takes the number for this workstation; false when it was taken before, by any.
    bool take(const QString& number) const;

private:
    Connection* connection_;
};
