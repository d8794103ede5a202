#pragma once

#include <QString>

namespace FileCompare {

// True when both files can be read and hold the same bytes. Files of different sizes are
// told apart without reading them.
bool sameBytes(const QString& a, const QString& b);

} // namespace FileCompare
