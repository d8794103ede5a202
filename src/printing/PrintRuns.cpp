#include "printing/PrintRuns.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "printing/Dy1Unit.h"

PrintRuns::PrintRuns(DatabaseConnection* connections, TDy1Form* report, Dataset* profile)
    : connections_(connections), report_(report), header_(profile) {}

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
    report_->preview(header_.read());
}
