#pragma once

#include <QByteArray>
#include <QString>

// Text as spreadsheet programs on Chinese Windows save a CSV file: GB18030, encoded by Qt through
// ICU where it has it, and by the system's code page 54936 on Windows, whose Qt has no ICU.
QByteArray toGb18030(const QString& text);
