#pragma once

#include <QString>
#include <stdexcept>

// Errors travel as exceptions inside our code and end at the handler guard, which shows the
// message in the standard error box. Each carries the exact text the user sees. Every layer
// throws it, so it lives below all of them.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const noexcept { return message_; }

private:
    QString message_;
};
