#pragma once

#include "base/AppError.h"
#include "ui/Prompts.h"

#include <exception>
#include <utility>

class QWidget;

namespace guard_detail {
void showError(QWidget* owner, const QString& text) noexcept;
}

// Runs a handler so that no exception crosses the event loop: an error ends the handler at
// the failing step and is shown in the standard error box; what ran before stays done.
template <class F> void guarded(QWidget* owner, F&& handler) noexcept {
    try {
        std::forward<F>(handler)();
    } catch (const AppError& e) {
        guard_detail::showError(owner, e.message());
    } catch (const std::exception& e) {
        guard_detail::showError(owner, QString::fromUtf8(e.what()));
    } catch (...) {
        guard_detail::showError(owner, QStringLiteral("未知错误"));
    }
}

// Wraps a handler for QObject::connect.
template <class F> auto guardedSlot(QWidget* owner, F handler) {
    return [owner, handler = std::move(handler)](auto&&...) mutable { guarded(owner, handler); };
}
