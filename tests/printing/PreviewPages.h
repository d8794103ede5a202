#pragma once

#include "report/Document.h"

#include <QList>
#include <QMap>
#include <QString>
#include <functional>

// The texts of one generated page, by item name (several detail rows: joined by "|").
QMap<QString, QString> textsOf(const report::Page& page);

// Runs a print run; the preview it opens is read and closed as a user would close it. The
// pages the preview showed, and whether one was shown at all.
struct PreviewPages {
    QList<report::Page> pages;
    bool shown = false;
};
PreviewPages previewOf(const std::function<void()>& run);
