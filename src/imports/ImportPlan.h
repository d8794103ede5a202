#pragma once

#include "imports/ImportFields.h"
#include "sheets/SheetTable.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// The rows of a sheet as an import would store them, each with what stands in its way: a
// price that is not a number, an empty required field, a key the file holds twice. A key the
// list already holds is marked, since the user chooses what such a row does.
class ImportPlan {
public:
    struct Row {
        int sheetRow = 0;     // as the spreadsheet numbers it
        qsizetype source = 0; // index into the sheet's rows
        QStringList values;   // per field; empty where the cell is empty or the field unmatched
        QString problem;      // why it cannot be stored; empty when it can
        bool exists = false;  // its key is in the list
    };

    // `header` indexes the sheet's header row; `columns` gives each field's column (-1: none);
    // `existingKeys` are the list's keys with ASCII letters folded.
    ImportPlan(ImportTarget target, const SheetTable& sheet, qsizetype header,
               const QList<int>& columns, const QSet<QString>& existingKeys);

    ImportTarget target() const { return target_; }
    const QList<Row>& rows() const { return rows_; }
    int problemCount() const { return problems_; }
    int existingCount() const { return existing_; }

    // Refuses a sheet that holds a text no list can store (a NUL character, half a surrogate
    // pair): such a file is damaged or not what it claims to be. Fails with AppError naming the
    // first such cell.
    static void checkTexts(const SheetTable& sheet);
    // The key under which rows count as the same: ASCII letters folded, as the look-ups
    // compare codes and contacts.
    static QString keyOf(const QString& value);

private:
    ImportTarget target_;
    QList<Row> rows_;
    int problems_ = 0;
    int existing_ = 0;
};
