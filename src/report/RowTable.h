#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace report {

// Rows of display texts, as the caller has formatted them: the report engine knows nothing of
// databases or number formats. A missing field or a short row reads as empty text.
struct RowTable {
    QStringList fields;
    QList<QStringList> rows;

    qsizetype column(const QString& field) const { return fields.indexOf(field); }
    QString value(qsizetype row, qsizetype column) const {
        if (row < 0 || row >= rows.size() || column < 0)
            return QString();
        const QStringList& r = rows.at(row);
        return column < r.size() ? r.at(column) : QString();
    }
};

} // namespace report
