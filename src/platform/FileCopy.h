#pragma once

#include <QString>

// Byte copies of whole files.
namespace FileCopy {

// Writes the source's bytes into the destination, replacing what it holds; fails with
// AppError naming the file that could not be read or written.
void copy(const QString& source, const QString& destination);

} // namespace FileCopy
