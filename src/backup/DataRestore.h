#pragma once

#include <QList>

class Connection;
class QString;
class QWidget;

// "数据恢复": puts a file the user picks in place of the program folder's data.mdb and then
// ends the program, so that the next start opens the restored data. Only a sound database
// of this program is taken, and only once the data it replaces is kept as a checked backup
// (AutoBackup::beforeRestore); anything else leaves data.mdb and every connection as they were.
class DataRestore {
public:
    // The connections closed before data.mdb is replaced.
    DataRestore(QWidget* owner, QList<Connection*> connections);

    void SpeedButton5Click();
    // The same on a file chosen elsewhere, with the same refusal and the same end.
    void restoreFrom(const QString& file);
    // True once a restore has replaced data.mdb: the program is ending on the new file.
    bool succeeded() const { return succeeded_; }

private:
    bool replaceDatabase(const QString& chosen);

    QWidget* owner_;
    QList<Connection*> connections_;
    bool succeeded_ = false;
};
