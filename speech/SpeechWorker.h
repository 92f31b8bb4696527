#pragma once
// The speech control's worker: lives in the control's own thread and owns the engines there
// (MeCab and espeak-ng are not thread-safe). Texts are synthesised as they arrive and heard
// one after the other.

#include "speech/AudioPlayer.h"
#include "speech/KanaReader.h"
#include "speech/SpeechJob.h"

#include <QObject>
#include <deque>
#include <memory>

class SpeechWorker : public QObject {
    Q_OBJECT
public:
    explicit SpeechWorker(QObject* parent = nullptr);
    ~SpeechWorker() override;

    // Loads the dictionary and the engine now, so that the first text does not wait for them.
    void load();
    void speak(const SpeechJob& job);

signals:
    // Once per job, in the order of the jobs, when its audio has been heard to the end (at
    // once when there is no sound device), also after a failure.
    void spoken();
    // The kana a text is handed to the engine as, before it is synthesised.
    void read(const QString& kana);
    void failed(const QString& message);

private:
    struct Clip {
        SpeechAudio audio;
        QAudioDevice device;
    };

    KanaReader& reader();
    SpeechAudio render(const SpeechJob& job);
    SpeechAudio renderReportingFailure(const SpeechJob& job);
    void keepAsWav(const QString& path, const SpeechAudio& audio);
    void playWaitingClips();
    void onPlayed();

    std::unique_ptr<KanaReader> reader_;
    AudioPlayer player_;
    std::deque<Clip> waiting_;
};
