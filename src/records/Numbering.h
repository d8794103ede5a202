#pragma once

#include <QString>

// The numbering choices of the settings: the bill number pattern and whether adding a row to
// a bill of another customer asks first.
namespace Numbering {

QString pattern();
bool askDuplicate();
// Whether adding a row that takes a customer over its credit limit asks first.
bool askCreditLimit();

} // namespace Numbering
