#pragma once

#include "printing/PrintSettings.h"
#include "report/Report.h"
#include "report/RowTable.h"

#include <QHash>

// The engine's preview: opens a new print preview window (maximized, zoomed to the page width)
// on the report and its data, and returns once the user has closed it. The first page is laid
// out before the window shows; the rest follow page by page while the window is up and the
// rest of the program stays usable. The window keeps its own copy of report and rows.
// printerSettings: the report's printer settings, updated by the window's set-up; may be null.
void previewReport(const report::Report& report, const report::RowTable& master,
                   const QHash<QString, report::RowTable>& others = {},
                   PrintSettings* printerSettings = nullptr);

// Closes every open preview window, so each print run waiting on one returns; the main
// window's close ends the program this way even while previews are open.
void closeAllPreviews();
