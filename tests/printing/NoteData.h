#pragma once

#include "report/Document.h"
#include "report/RowTable.h"

#include <QHash>
#include <QRectF>
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

// The words of a PDF file's page (from 1) with their boxes in millimetres from its top-left
// corner.
struct Word {
    QString text;
    QRectF box;
};
QList<Word> pdfWords(const QString& pdf, int page = 1);
// The paper of a PDF file's first page in millimetres; empty when pdfinfo cannot tell.
QSizeF pdfPaperMm(const QString& pdf);
// Empty when the printed note on the PDF's first page stands where the layout puts it, in
// millimetres from the paper's top-left corner, whatever the paper; else what is amiss.
QString noteMisplacedOn(const QString& pdf);
