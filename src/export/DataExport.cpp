#include "export/DataExport.h"

#include "data/Dataset.h"
#include "export/ExportProgressDialog.h"
#include "export/SpreadsheetFile.h"
#include "ui/Prompts.h"

DataExport::DataExport(QWidget* owner, std::function<Dataset*()> currentQuery)
    : owner_(owner), currentQuery_(std::move(currentQuery)) {}

void DataExport::SpeedButton3Click() {
    Dataset* query = currentQuery_();
    if (!query)
        return;
    const QString chosen = Prompts::instance().saveFileName(owner_);
    if (chosen.isEmpty())
        return;
    // As a walk through the list would: a pending row is stored first (a closed list fails
    // here), and the list ends on its last row.
    query->first();
    {
        ExportProgressDialog progress(owner_);
        SpreadsheetFile::write(*query, chosen + QStringLiteral(".xls"), progress);
    }
    query->last();
    Prompts::instance().message(owner_, QStringLiteral("成功导出全部数据!"));
}
