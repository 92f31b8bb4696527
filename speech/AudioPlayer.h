#pragma once
// Plays one piece of audio at a time on a sound device and says when it has been heard to the
// end. Lives in the speech worker's thread, whose event loop drives the audio output.
//
// It never hangs: a device that stops reporting progress is given up after the audio's own
// length plus a margin.

#include "speech/SpeechAudio.h"

#include <QAudio>
#include <QAudioDevice>
#include <QBuffer>
#include <QObject>
#include <QTimer>

class QAudioSink;

class AudioPlayer : public QObject {
    Q_OBJECT
public:
    explicit AudioPlayer(QObject* parent = nullptr);

    // Starts playing; finished() follows once, also when the device fails on the way (after
    // failed()). Throws SpeechError, and will not report, when the device cannot take the audio.
    void play(const SpeechAudio& audio, const QAudioDevice& device);
    bool isPlaying() const { return sink_ != nullptr; }

signals:
    void failed(const QString& message);
    void finished();

private:
    void onStateChanged(QAudio::State state);
    void onStalled();
    void end();

    QAudioSink* sink_ = nullptr;
    QByteArray bytes_;
    QBuffer buffer_;
    QTimer watchdog_;
};
