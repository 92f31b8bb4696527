#pragma once
// The failure of one step of speech (engine start, reading, synthesis, audio, WAV file),
// carrying the real message of the library or the system.

#include "common/AppError.h"

#include <QString>
#include <stdexcept>

class SpeechError : public AppError {
public:
    using AppError::AppError;
};
