#pragma once
// espeak-ng as a function from text to audio.
//
// The engine keeps its voice, its parameters and its callback in process-wide state and is not
// thread-safe, so every use in the process goes through the one lock of this unit. The engine
// is started on first use and stays loaded until the process ends.

#include "speech/SpeechAudio.h"
#include "speech/VoiceMapping.h"

#include <QString>

namespace EspeakSynthesizer {
// Starts the engine if it has not started yet. Throws SpeechError.
void start();

// The audio of a text (kana, digits, punctuation) in the given voice; empty for an empty
// text. Throws SpeechError with the engine's reason.
SpeechAudio synthesize(const QString& text, const EngineVoice& voice);
} // namespace EspeakSynthesizer
