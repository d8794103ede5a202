#pragma once

#include "base/AppError.h"

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

// The text of a lost race: the row was changed or deleted by someone else since it was read,
// so nothing was written.
inline QString conflictMessage() {
    return QStringLiteral("该记录已被其他电脑修改或删除，请刷新后再试！");
}
