#pragma once

#include "report/RowTable.h"

#include <QObject>

class Dataset;

// The company header of the note: the profile row on which the plain statement
// "select * from 表5" stands, whatever the profile list holds at the moment. While the
// delivery panel has borrowed the list for its handler list, that is the row the plain list
// stood on when it was borrowed (its last after a reload of every list, its first after the
// list was opened afresh), so the header is never blank and never another row.
class NoteHeader : public QObject {
    Q_OBJECT
public:
    explicit NoteHeader(Dataset* profile, QObject* parent = nullptr);

    report::RowTable read() const;

private:
    void remember();

    Dataset* profile_;
    qint64 plainRow_ = 0; // rowid; 0 while the plain list has stood on no row
};
