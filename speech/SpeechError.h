#pragma once
// The failure of one step of speech (engine start, reading, synthesis, audio, WAV file),
// carrying the real message of the library or the system.

#include <QString>
#include <stdexcept>

class SpeechError : public std::runtime_error {
public:
    explicit SpeechError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};
