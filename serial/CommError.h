#pragma once
// The one exception class of the serial-port component.

#include "common/AppError.h"

#include <QString>
#include <stdexcept>

class ECommError : public AppError {
public:
    explicit ECommError(const char* utf8Message) : AppError(QString::fromUtf8(utf8Message)) {}
};
