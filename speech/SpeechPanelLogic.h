#pragma once
// The speech logic of the timing window, without its widgets: the voice settings panel, the
// speech switch, the queue spoken one text at a time, and the voice test. The window owns the
// widgets and the speech control and calls these handlers from its own.
//
// The voice settings are the process-wide ones of uComm; they outlive the window.

#include "speech/AnnouncementQueue.h"
#include "speech/SmarTalk.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// A slider of the voice panel: its range and its position when the window is created.
struct VoiceSlider {
    int minimum;
    int maximum;
    int designPosition;
};

namespace VoicePanel {
inline constexpr VoiceSlider kSpeed{1, 10, 10};        // TB1 "読み上げ速度"
inline constexpr VoiceSlider kVolume{1, 10, 1};        // TBvol "ボリューム"
inline constexpr VoiceSlider kPitchForMan{1, 10, 1};   // TBvoicem "高低（男性）"
inline constexpr VoiceSlider kPitchForWoman{1, 10, 1}; // TBvoicew "高低（女性）"
inline constexpr VoiceSlider kIntonation{1, 6, 1};     // TBint "抑揚"
inline constexpr VoiceSlider kVoiceType{1, 10, 1};     // TBtype "声質"
// RGoto: "無し" (0) and "有り" (1).
inline constexpr int kSpeechOn = 1;
// Pump interval of Timer1.
inline constexpr int kPumpIntervalMs = 1000;
// The items of CBspeaker, index 0 to 4.
QStringList SpeakerNames();
// What the voice test speaks after the last text.
QString VoiceTestText();
// Told when the voice test has no sound device to play on.
QString NoSoundDeviceMessage();
} // namespace VoicePanel

// The positions of the panel's list and sliders.
struct VoicePanelPositions {
    int speakerIndex = 0; // CBspeaker; -1 when nothing is selected
    int speed = VoicePanel::kSpeed.designPosition;
    int volume = VoicePanel::kVolume.designPosition;
    int pitchForMan = VoicePanel::kPitchForMan.designPosition;
    int pitchForWoman = VoicePanel::kPitchForWoman.designPosition;
    int intonation = VoicePanel::kIntonation.designPosition;
    int voiceType = VoicePanel::kVoiceType.designPosition;

    bool operator==(const VoicePanelPositions&) const = default;
};

class SpeechPanelLogic : public QObject {
    Q_OBJECT
public:
    // St1 must outlive this object. Speech starts switched off.
    explicit SpeechPanelLogic(TSmarTalk& st1, QObject* parent = nullptr);

    // The window's show step: empties the queue, moves each slider (current: where they stand
    // now) to its setting clamped to its range, running the slider's change handler only when
    // the position really changes, selects the list entry of the setting (no handler), then
    // setst1. Returns the positions the widgets are to show; the window sets them with the
    // widgets' signals blocked, since the handlers have already run.
    VoicePanelPositions ApplyShowTimeSettings(const VoicePanelPositions& current);

    // Applies the voice settings (all but speed and volume) to the speech control.
    void setst1();
    // Speaks one text at once, bypassing the queue.
    void SpeakNow(const QString& text);
    // Queues the announcement of a recorded time while speech is on; with speech off it is
    // not kept, since switching on empties the queue anyway. Only queues: the speaking happens
    // later on the control's thread, so the operator's typing never waits for it.
    void Announce(const QString& text);

    void CBspeakerChange(int index);
    void TB1Change(int position);
    void TBvolChange(int position);
    void TBvoicemChange(int position);
    void TBvoicewChange(int position);
    void TBintChange(int position);
    void TBtypeChange(int position);
    void RGotoClick(int index);
    void Timer1Timer();
    void St1EVOUTEND();
    void CuteButton65Click();

    // Texts waiting to be spoken, oldest first. The pump takes them out one at a time.
    AnnouncementQueue SpeechQueue;
    // The text last handed to the speech control.
    QString SpeechText;
    // The queue pump; disabled until speech is switched on.
    QTimer Timer1;

private:
    // A slider set from code: clamps to its range and runs its change handler only when the
    // position moves. Returns the new position.
    int moveSlider(int current, int wanted, const VoiceSlider& slider,
                   void (SpeechPanelLogic::*onChange)(int));
    void prepareReading();
    void enableTimer1();

    TSmarTalk& St1;
    bool speechOn_ = false;
};
