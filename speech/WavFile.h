#pragma once
// Writes audio as a RIFF WAVE file (PCM, 16 bit, mono) to be played or measured elsewhere.

#include "speech/SpeechAudio.h"

#include <QString>

// Creates the folder when needed and replaces an existing file. Throws SpeechError.
void WriteWavFile(const QString& path, const SpeechAudio& audio);
