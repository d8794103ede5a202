#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Runs one of the Linux tools that read what the program wrote (poppler-utils' pdftotext,
// pdfinfo, pdftoppm; python3 with openpyxl) and gives its standard output. On Linux a plain
// child process; built for Windows, under Wine, which cannot start Linux programs, the request
// goes through the spool folder DN_HOST_TOOLS to scripts/windows/host-tools.py, with Windows
// paths among the arguments turned into the Linux paths Wine keeps them under.
struct HostTool {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    static HostTool run(const QString& program, const QStringList& arguments);
    bool ok() const { return exitCode == 0; }
};
