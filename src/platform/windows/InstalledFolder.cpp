#include "platform/InstalledFolder.h"

#include "platform/ProgramFolder.h"
#include "platform/windows/SystemError.h"

#include <QCoreApplication>
#include <QTemporaryFile>

#include <shlobj.h>

namespace {

QString knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    QString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        folder = QDir::cleanPath(QDir::fromNativeSeparators(QString::fromWCharArray(path)));
    CoTaskMemFree(path);
    return folder;
}

bool under(const QString& folder, const QString& parent) {
    return !parent.isEmpty() && (folder.compare(parent, Qt::CaseInsensitive) == 0 ||
                                 folder.startsWith(parent + QLatin1Char('/'), Qt::CaseInsensitive));
}

// Tried, not read from the folder's security: only a file made there proves it.
bool writable(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-test-XXXXXX")));
    return probe.open();
}

} // namespace

namespace InstalledFolder {

void choose(const QString& appId, const QString& templateFile) {
    const QString program = QDir::cleanPath(QCoreApplication::applicationDirPath());
    const bool installed = under(program, knownFolder(FOLDERID_ProgramFiles)) ||
                           under(program, knownFolder(FOLDERID_ProgramFilesX86)) ||
                           !writable(program);
    if (!installed)
        return;
    ProgramFolder::useDataFolder(knownFolder(FOLDERID_LocalAppData) + QLatin1Char('/') + appId,
                                 QDir(program).filePath(templateFile));
}

} // namespace InstalledFolder
