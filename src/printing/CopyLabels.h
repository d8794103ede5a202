#pragma once

#include "report/Document.h"

#include <QStringList>

// Labelled copies of a delivery note ("第一联 存根" ...): each copy carries its label at the top
// right of every page, in the note's bold caption face, above the note's top margin.
namespace CopyLabels {

constexpr int kMaxCopies = 5;

// The five labels a user starts with.
QStringList defaults();

// The label of a copy as it is printed on the page: right-aligned to the note's right margin.
report::Page overlay(const QString& label);

// One overlay per copy, copies clamped to 1 ... kMaxCopies, labels missing from the list
// taken from the defaults. A single copy gets none: the note is printed as it is.
QList<report::Page> overlays(int copies, const QStringList& labels);

} // namespace CopyLabels
