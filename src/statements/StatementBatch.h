#pragma once

#include "ledger/Statement.h"
#include "report/RowTable.h"

#include <QString>
#include <QStringList>

class QWidget;

// "批量对账单": the statement of every customer with bills in the period, one PDF each in a
// folder, named 对账单_<联系人>_<起>_<止>.pdf (a second customer of the same contact gets
// "(2)" after the contact), each file written whole or not at all. A progress window shows how
// far it has come and can stop it after the file being written.
class StatementBatch {
public:
    StatementBatch(const QList<Statement>& statements, bool details,
                   const report::RowTable& header);

    // The file names, in the statements' order.
    QStringList fileNames() const { return names_; }

    // Writes the files into the folder; returns how many were written before the user
    // stopped it (all of them unless stopped). Fails with AppError naming the file.
    int write(const QString& folder, QWidget* owner) const;

private:
    QList<Statement> statements_;
    bool details_;
    report::RowTable header_;
    QStringList names_;
};
