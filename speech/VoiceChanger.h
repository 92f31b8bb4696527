#pragma once
// The voice changer: resampling raises (ratio above 1) or lowers pitch and formants together,
// which changes the character of the voice rather than only its pitch. The audio gets shorter
// or longer by the same ratio.

#include "speech/SpeechAudio.h"

SpeechAudio ShiftVoice(const SpeechAudio& audio, double ratio);
