#pragma once
// A short beep when a key press is refused, for an operator whose eyes are on the runners.
// It plays on the sound device without waiting: typing goes on while it sounds.

#include "speech/AudioPlayer.h"

#include <QObject>

class RefusalTone : public QObject {
public:
    explicit RefusalTone(QObject* parent = nullptr);

    // Beeps when the setting asks for it and a sound device is there.
    void Sound();

    // The beep itself: a falling pair of tones, about a fifth of a second.
    static SpeechAudio Beep();

private:
    AudioPlayer player_;
};
