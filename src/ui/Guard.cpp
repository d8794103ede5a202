#include "ui/Guard.h"

namespace guard_detail {
void showError(QWidget* owner, const QString& text) noexcept {
    try {
        Prompts::instance().error(owner, text);
    } catch (...) {
        // The error box itself failed: nothing sensible is left to show.
    }
}
} // namespace guard_detail
