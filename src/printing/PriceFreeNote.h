#pragma once

#include <QCheckBox>
#include <QStringList>

namespace report {
class Report;
}

// The delivery note without prices, for a site where the receiver must not see them: the
// unit prices, the amounts, the total and the total in capitals are left out with their
// captions, every other item stays in its place. Chosen on the settings page "打印" for every
// note, and per print in the preview's printer set-up.
namespace PriceFreeNote {

// The stored choice.
bool chosen();
// Fails with AppError when the settings cannot be written.
void choose(bool withoutPrices);

// The items of the note that a note without prices leaves out.
const QStringList& priceItems();
// Leaves those items out of the note, or puts them back.
void apply(report::Report& note, bool withoutPrices);

// The check box "打印不含价格的送货单" (objectName "WithoutPricesBox").
QCheckBox* newCheckBox(QWidget* parent);

} // namespace PriceFreeNote
