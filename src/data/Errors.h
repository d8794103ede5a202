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
