#pragma once

#include "printing/PrintOptions.h"
#include "printing/PrintSettings.h"
#include "report/Document.h"

#include <functional>

// Prints a generated document on the printer the settings name (the system default when they
// name none), on the settings' paper or else the document's own, for the settings' page range
// and copies; on any paper the pages stand at their millimetre positions from its top-left
// corner, shifted by the options' offset for that printer, with the options' labelled copies.
// progress(printed, total) is called after each page; returning false aborts the job.
// Throws AppError when the printer is unusable or refuses the paper.
void printDocument(const report::Document& document, const PrintSettings& settings,
                   const QString& jobName,
                   const std::function<bool(int printed, int total)>& progress = {},
                   const PrintOptions& options = {});
