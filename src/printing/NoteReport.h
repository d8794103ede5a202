#pragma once

#include "report/Report.h"

#include <memory>

// The delivery note: 190 x 265 mm paper, a title band with the company header, the bill's
// customer lines and the heading row of the item table, one detail band per item row, and a
// summary band with the totals and the signature line. The master data set is "表4" (the print
// buffer); the company header reads "表5" (the profile). The totals labels QRLabel15 (capitals)
// and QRLabel19 (figures) are set by the caller before each generation.
std::unique_ptr<report::Report> deliveryNoteReport();
