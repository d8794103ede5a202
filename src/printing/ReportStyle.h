#pragma once

#include "report/FontStyle.h"

#include <QString>

// The look the A4 reports share (the statement, the sales report): 宋体 throughout, the company
// in red, rows of one height across the printable width.
namespace ReportStyle {

inline const QString kSong = QStringLiteral("宋体");
inline const report::FontStyle kHeading{kSong, 11, true, Qt::black};
inline const report::FontStyle kBody{kSong, 10.5, false, Qt::black};
inline const report::FontStyle kTitle{kSong, 22, true, Qt::black};
inline const report::FontStyle kCompany{kSong, 16, true, Qt::red};
inline const report::FontStyle kSmall{kSong, 10.5, false, Qt::black};

inline constexpr qreal kRowHeight = 6.6;
inline constexpr qreal kBandWidth = 180;

} // namespace ReportStyle
