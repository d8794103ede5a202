#pragma once

#include <QString>

// Where the save dialogs of the statements and the sales summary start: in the folder the user
// chose last for one of them ([reports] folder), else in the documents folder.
namespace SaveLocation {

QString folder();
// The suggested file in that folder.
QString suggested(const QString& fileName);
// Keeps the folder of a chosen file, or the chosen folder itself, for the next dialog.
void rememberFile(const QString& fileName);
void rememberFolder(const QString& folder);

} // namespace SaveLocation
