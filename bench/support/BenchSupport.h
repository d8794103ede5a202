#pragma once

#include <QString>
#include <QTextStream>
#include <algorithm>
#include <chrono>
#include <functional>
#include <utility>
#include <vector>

// Helpers shared by the benchmark programs: medians of repeated timings and the resident
// memory of the process. The generated database of the size a busy small business reaches is
// SeedDatabase's, linked with these.
namespace bench {

// Points HOME and the settings folder at `home` (the program writes its launcher and last view
// there, never into the user's own) and runs offscreen unless a platform is chosen; call before
// the application object is made.
void isolateDesktop(const QString& home);

// Opens the file with the password and reads every column of every row of the five tables:
// the floor of loading every list.
void rawScan(const QString& file);

// Median of `runs` timings of f, in milliseconds.
double medianMs(int runs, const std::function<void()>& f);

// Medians of two timings taken in alternation, so that both see the same load on a shared
// machine; returns {median of a, median of b} in milliseconds.
std::pair<double, double> pairedMedianMs(int runs, const std::function<void()>& a,
                                         const std::function<void()>& b);

// Resident memory of this process in MB.
double residentMb();

// Peak resident memory of this process in MB.
double peakResidentMb();

inline void report(const QString& name, double value, const QString& unit) {
    QTextStream(stdout) << name << ' ' << QString::number(value, 'f', 3) << ' ' << unit << Qt::endl;
}

} // namespace bench
