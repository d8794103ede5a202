#include "printing/PrintRuns.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "printing/Dy1Unit.h"

namespace {

// The company header: the profile list's current row. While another command has borrowed the
// list for a pick list, the row is read as the plain statement gives it, so the note never
// goes out with a blank header.
report::RowTable headerRow(Dataset* profile) {
    const Query plain = Query::all(QStringLiteral("表5"));
    report::RowTable header;
    auto take = [&header](const Dataset& list) {
        for (const Dataset::Field& field : list.fields())
            header.fields.append(field.name);
        if (list.recNo() >= 0) {
            QStringList row;
            for (int column = 0; column < list.fields().size(); ++column)
                row.append(list.text(list.recNo(), column));
            header.rows.append(row);
        }
    };
    if (profile->isOpen() && profile->query() == plain) {
        take(*profile);
    } else {
        Dataset fresh(profile->connection(), QStringLiteral("ADOQuery1"));
        fresh.setQuery(plain);
        fresh.open();
        take(fresh);
    }
    return header;
}

} // namespace

PrintRuns::PrintRuns(DatabaseConnection* connections, TDy1Form* report, Dataset* profile)
    : connections_(connections), report_(report), profile_(profile) {}

void PrintRuns::SpeedButton2Click() {
    connections_->ReopenAll();
    Connection* connection = report_->reportConnection();
    connection->close();
    connection->setConnectionString(DatabaseConnection::BuildConnectionString());
    connection->open();
    report_->openDataSet();
    totalsAndPreview();
}

void PrintRuns::N5Click() {
    Connection* connection = report_->reportConnection();
    connection->close();
    report_->printBuffer()->close();
    connection->setConnectionString(DatabaseConnection::BuildConnectionString());
    report_->openDataSet();
    connection->open();
    totalsAndPreview();
}

void PrintRuns::totalsAndPreview() {
    report_->Button1Click();
    report_->preview(headerRow(profile_));
}
