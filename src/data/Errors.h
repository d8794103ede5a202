#pragma once

#include <QString>
#include <stdexcept>

// Errors travel as exceptions inside our code and end at the handler guard, which shows the
// message in the standard error box. Each carries the exact text the user sees.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const noexcept { return message_; }

private:
    QString message_;
};

// An error raised by the database engine, carrying the engine's own text.
class DataError : public AppError {
public:
    using AppError::AppError;
};

// A text that cannot be converted to the value a field or a computation needs.
class ConversionError : public AppError {
public:
    using AppError::AppError;
};
