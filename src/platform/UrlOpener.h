#pragma once

#include <QUrl>
#include <functional>

// Hands an address to the desktop (browser or mail program); the result is not looked at.
namespace UrlOpener {

void open(const QUrl& url);
// Tests replace the desktop call; an empty function restores it.
void setOpenerForTesting(std::function<void(const QUrl&)> opener);

} // namespace UrlOpener
