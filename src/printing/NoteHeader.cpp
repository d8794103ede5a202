#include "printing/NoteHeader.h"

#include "data/Dataset.h"

namespace {

Query plain() {
    return Query::all(QStringLiteral("表5"));
}

report::RowTable rowOf(const Dataset& list, int row) {
    report::RowTable header;
    for (const Dataset::Field& field : list.fields())
        header.fields.append(field.name);
    if (row >= 0) {
        QStringList texts;
        for (int column = 0; column < list.fields().size(); ++column)
            texts.append(list.text(row, column));
        header.rows.append(texts);
    }
    return header;
}

} // namespace

NoteHeader::NoteHeader(Dataset* profile, QObject* parent) : QObject(parent), profile_(profile) {
    // The list resets when it is closed to be borrowed: that is the moment to note its row.
    connect(profile_, &Dataset::aboutToReset, this, &NoteHeader::remember);
    remember();
}

void NoteHeader::remember() {
    if (profile_->isOpen() && profile_->query() == plain())
        plainRow_ = profile_->rowId(profile_->recNo());
}

report::RowTable NoteHeader::read() const {
    if (profile_->isOpen() && profile_->query() == plain())
        return rowOf(*profile_, profile_->recNo());
    Dataset fresh(profile_->connection(), QStringLiteral("ADOQuery1"));
    fresh.setQuery(plain());
    fresh.open();
    int row = fresh.recNo();
    for (int r = 0; r < fresh.recordCount(); ++r) {
        if (fresh.rowId(r) == plainRow_)
            row = r;
    }
    return rowOf(fresh, row);
}
