#pragma once

#include "report/Document.h"
#include "report/RowTable.h"

#include <QHash>
#include <QStringList>

// Print buffer rows and a company profile shaped like the tables the print run hands over.
report::RowTable billRows(int count);
QHash<QString, report::RowTable> profile();

QList<const report::TextOp*> textOps(const report::Page& page, const QString& item);
QList<const report::RectOp*> rectOps(const report::Page& page, const QString& item);
QStringList textsOf(const report::Page& page, const QString& item);

// Renders a document to a PDF file through QPdfWriter.
void writePdf(const report::Document& document, const QString& fileName);
// Output of a poppler tool; empty when it fails.
QString runTool(const QString& program, const QStringList& arguments);
