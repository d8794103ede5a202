#include "platform/UrlOpener.h"

#include <QDesktopServices>

namespace {
std::function<void(const QUrl&)>& replacement() {
    static std::function<void(const QUrl&)> opener;
    return opener;
}
} // namespace

namespace UrlOpener {

void open(const QUrl& url) {
    if (replacement())
        replacement()(url);
    else
        QDesktopServices::openUrl(url);
}

void setOpenerForTesting(std::function<void(const QUrl&)> opener) {
    replacement() = std::move(opener);
}

} // namespace UrlOpener
