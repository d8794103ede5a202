#pragma once

#include "charts/BarChart.h"

#include <QImage>
#include <QSizeF>
#include <QString>

// A chart as a picture on white, at the given size in millimetres and resolution.
namespace ChartPicture {

QImage render(const charts::BarChart& chart, const QSizeF& sizeMm, int dpi);

// The picture as a PNG file, written beside its name and renamed into place when complete;
// fails with AppError naming the file.
void savePng(const charts::BarChart& chart, const QSizeF& sizeMm, int dpi, const QString& fileName);

} // namespace ChartPicture
