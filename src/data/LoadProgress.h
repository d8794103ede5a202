#pragma once

#include <QString>
#include <functional>

// How far a long load of a list has come, for a window that says what is being read. The data
// layer reports; whoever shows it installs an observer for as long as it wants the reports.
namespace LoadProgress {

// `rows` read so far of `table`; `expected` is about how many there are, 0 when unknown.
using Observer = std::function<void(const QString& table, qint64 rows, qint64 expected)>;

// Replaces the observer (an empty one stops the reports); returns the one it replaces.
Observer setObserver(Observer observer);
bool observed();
void report(const QString& table, qint64 rows, qint64 expected);

} // namespace LoadProgress
