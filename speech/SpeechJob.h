#pragma once
// One text handed from the speech control to its worker, with everything needed to speak it:
// the worker reads no state of the control.

#include "speech/VoiceMapping.h"

#include <QAudioDevice>
#include <QString>

struct SpeechJob {
    QString text;
    EngineVoice voice;
    bool symbolsAsPause = false;
    bool digitByDigit = false;
    QString wavPath;     // empty: no WAV file
    QAudioDevice device; // null: no sound output, the text only is synthesised
};
