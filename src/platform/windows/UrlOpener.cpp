#include "platform/UrlOpener.h"

#include <windows.h>

#include <shellapi.h>

namespace {
std::function<void(const QUrl&)>& replacement() {
    static std::function<void(const QUrl&)> opener;
    return opener;
}
} // namespace

namespace UrlOpener {

// Through the shell: the user's browser or mail program, as Explorer would open the address.
void open(const QUrl& url) {
    if (replacement()) {
        replacement()(url);
        return;
    }
    const std::wstring address = url.toString(QUrl::FullyEncoded).toStdWString();
    ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void setOpenerForTesting(std::function<void(const QUrl&)> opener) {
    replacement() = std::move(opener);
}

} // namespace UrlOpener
