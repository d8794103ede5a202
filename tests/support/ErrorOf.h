#pragma once

#include "base/AppError.h"

#include <QString>
#include <functional>

// The message of the error the call ends with; empty when it ends without one.
inline QString errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AppError& e) {
        return e.message();
    }
    return QString();
}
