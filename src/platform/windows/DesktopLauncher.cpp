#include "platform/DesktopLauncher.h"

#include "platform/windows/SystemError.h"

#include <QFileInfo>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace {

QString desktopFolder() {
    PWSTR path = nullptr;
    QString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path)))
        folder = QString::fromWCharArray(path);
    CoTaskMemFree(path);
    return folder;
}

// Writes the shortcut through the shell's own link object.
bool save(const QString& linkPath, const QFileInfo& program) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    const std::wstring target = SystemError::nativePath(program.absoluteFilePath());
    const std::wstring folder = SystemError::nativePath(program.absolutePath());
    bool saved = SUCCEEDED(link->SetPath(target.c_str())) &&
                 SUCCEEDED(link->SetWorkingDirectory(folder.c_str())) &&
                 SUCCEEDED(link->SetIconLocation(target.c_str(), 0)) &&
                 SUCCEEDED(link->SetDescription(L"澄朔送货单打印软件(增强版)"));
    IPersistFile* file = nullptr;
    if (saved &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(SystemError::nativePath(linkPath).c_str(), TRUE));
        file->Release();
    } else {
        saved = false;
    }
    link->Release();
    return saved;
}

} // namespace

namespace DesktopLauncher {

QString fileName() {
    return QStringLiteral("澄朔送货单打印软件(增强版).lnk");
}

void write(const QString& programPath) {
    const QString desktop = desktopFolder();
    if (desktop.isEmpty() || !QFileInfo(desktop).isDir())
        return;
    // The GUI thread is usually a COM apartment already (Qt's platform plugin makes it one).
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    save(QDir(desktop).filePath(fileName()), QFileInfo(programPath));
    if (SUCCEEDED(com))
        CoUninitialize();
}

} // namespace DesktopLauncher
