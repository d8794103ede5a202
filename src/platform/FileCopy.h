#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

// Byte copies of whole files.
namespace FileCopy {

// Writes the source's bytes into the destination, replacing what it holds; fails with
// AppError naming the file that could not be read or written.
void copy(const QString& source, const QString& destination);

// The same, telling after each piece how many bytes of how many are copied.
using Progress = std::function<void(qint64 copied, qint64 total)>;
void copy(const QString& source, const QString& destination, const Progress& progress);

} // namespace FileCopy
