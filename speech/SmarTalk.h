#pragma once
// The speech control: Japanese text to speech with the calls, properties and end-of-output
// event the timing window uses.
//
// The calls return at once. Each text is read (kanji to kana), synthesised and played on the
// control's own worker thread, one text after the other; when a text has been heard to the
// end, OnEVOUTEND() is emitted once, on the thread that owns the control. Without a sound
// device a text is only synthesised and its end follows at once.
//
// Properties keep the value last written, whatever it is; the engine clamps each to its range
// when a text is spoken. A text is spoken with the properties as they were at its Speak().

#include "speech/VoiceMapping.h"

#include <QObject>
#include <QString>
#include <QThread>

class SpeechWorker;

class TSmarTalk : public QObject {
    Q_OBJECT
public:
    // The WAV folder starts as the environment variable TARNIK_SPEECH_WAV_DIR (unset: none).
    explicit TSmarTalk(QObject* parent = nullptr);
    // Texts not yet heard are dropped.
    ~TSmarTalk() override;

    // Gets the engine ready (dictionary and voices are loaded on the worker, once).
    short Prepare();
    // Hands the text over for speaking.
    short Speak(const QString& text);
    // Closes a group of calls. Texts handed over are still heard to the end, since the
    // program waits for their end event, so there is nothing to release here.
    short Finish();

    int SpeakerName() const { return properties_.speakerName; }
    void SetSpeakerName(int value) { properties_.speakerName = value; }
    int Speed() const { return properties_.speed; }
    void SetSpeed(int value) { properties_.speed = value; }
    int Volume() const { return properties_.volume; }
    void SetVolume(int value) { properties_.volume = value; }
    int Voicechanger() const { return properties_.voicechanger; }
    void SetVoicechanger(int value) { properties_.voicechanger = value; }
    int Intonation() const { return properties_.intonation; }
    void SetIntonation(int value) { properties_.intonation = value; }
    int PitchForWoman() const { return properties_.pitchForWoman; }
    void SetPitchForWoman(int value) { properties_.pitchForWoman = value; }
    int PitchForMan() const { return properties_.pitchForMan; }
    void SetPitchForMan(int value) { properties_.pitchForMan = value; }
    bool SymbolRangeSpace() const { return properties_.symbolRangeSpace; }
    void SetSymbolRangeSpace(bool value) { properties_.symbolRangeSpace = value; }
    int NumRead() const { return properties_.numRead; }
    void SetNumRead(int value) { properties_.numRead = value; }

    // Every spoken text is also written to <folder>/speech_0001.wav, speech_0002.wav, ... in
    // the order spoken (existing files are replaced); an empty path writes none.
    void SetWavOutputFolder(const QString& folder) { wavFolder_ = folder; }
    QString WavOutputFolder() const { return wavFolder_; }
    // Off: texts are synthesised (and written) but never played, even with a sound device.
    void SetPlaybackEnabled(bool enabled) { playbackEnabled_ = enabled; }
    // Whether a text spoken now would be heard: playback on and a sound device present.
    bool CanBeHeard() const;

signals:
    void OnEVOUTEND();
    // A text or the engine failed; the text's OnEVOUTEND still follows.
    void OnEVERROR(const QString& message);
    // The kana each text is handed to the engine as, so that readings can be checked.
    void KanaReading(const QString& kana);

private:
    bool nextTurnIsFemale();
    QString nextWavPath();

    ControlProperties properties_;
    QString wavFolder_;
    bool playbackEnabled_ = true;
    bool prepared_ = false;
    bool femaleTurn_ = false;
    int wavFileNumber_ = 0;
    QThread thread_;
    SpeechWorker* worker_; // lives in thread_, deleted there when the thread ends
};
