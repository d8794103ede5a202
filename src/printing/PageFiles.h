#pragma once

#include "report/Document.h"

#include <QString>
#include <QStringList>

// A generated document saved for sending on: one PDF of all pages, or one picture per page.
// Every file is written beside its name and renamed into place when complete, so a failure
// leaves no half-written file under the name; failures throw AppError naming file and reason.
namespace PageFiles {

// The resolution of the saved pictures, in dots per inch.
constexpr int kPictureDpi = 200;

// "<base>_<key>", with the characters a file name cannot hold replaced by "_"; just the base
// when key is empty.
QString fileBase(const QString& base, const QString& key);

// fileName with the suffix appended unless it already ends in it (in any letter case).
QString withSuffix(const QString& fileName, const QString& suffix);

// Every page, in order, at the document's paper size, text as text with its fonts embedded.
void writePdf(const report::Document& document, const QString& fileName, const QString& title);

// The picture names for a document of pageCount pages: fileName itself for one page, else
// "<name>_1.png", "<name>_2.png" ... beside it.
QStringList pictureNames(const QString& fileName, int pageCount);

// Each page as a PNG at kPictureDpi on white, under pictureNames(fileName, ...). Either all
// files are written or, as far as the file system allows, none.
QStringList writePictures(const report::Document& document, const QString& fileName);

} // namespace PageFiles
