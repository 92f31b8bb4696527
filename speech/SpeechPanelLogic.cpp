#include "speech/SpeechPanelLogic.h"

#include "speech/SpeechError.h"

#include "common/uComm.h"

#include <algorithm>

QStringList VoicePanel::SpeakerNames() {
    return {QStringLiteral("男性１&女性１"), QStringLiteral("男性１"), QStringLiteral("女性１"),
            QStringLiteral("男性２"), QStringLiteral("女性２")};
}

QString VoicePanel::NoSoundDeviceMessage() {
    return QStringLiteral("音声テストを再生できませんでした: 音を出せる装置が見つかりません");
}

QString VoicePanel::VoiceTestText() {
    return QStringLiteral("1時間23分31秒4");
}

SpeechPanelLogic::SpeechPanelLogic(TSmarTalk& st1, QObject* parent)
    : QObject(parent), Timer1(this), St1(st1) {
    Timer1.setInterval(VoicePanel::kPumpIntervalMs);
    connect(&Timer1, &QTimer::timeout, this, &SpeechPanelLogic::Timer1Timer);
    connect(&St1, &TSmarTalk::OnEVOUTEND, this, &SpeechPanelLogic::St1EVOUTEND);
}

VoicePanelPositions SpeechPanelLogic::ApplyShowTimeSettings(const VoicePanelPositions& current) {
    using namespace VoicePanel;
    SpeechQueue.clear();
    VoicePanelPositions shown;
    const bool listed = uComm::Speaker >= 0 && uComm::Speaker < SpeakerNames().size();
    shown.speakerIndex = listed ? uComm::Speaker : -1;
    shown.speed = moveSlider(current.speed, uComm::Speed, kSpeed, &SpeechPanelLogic::TB1Change);
    shown.volume = moveSlider(current.volume, uComm::Vol, kVolume, &SpeechPanelLogic::TBvolChange);
    shown.pitchForMan = moveSlider(current.pitchForMan, uComm::Voicem, kPitchForMan,
                                   &SpeechPanelLogic::TBvoicemChange);
    shown.pitchForWoman = moveSlider(current.pitchForWoman, uComm::Voicew, kPitchForWoman,
                                     &SpeechPanelLogic::TBvoicewChange);
    shown.intonation = moveSlider(current.intonation, uComm::Voiceint, kIntonation,
                                  &SpeechPanelLogic::TBintChange);
    shown.voiceType = moveSlider(current.voiceType, uComm::Voicetype, kVoiceType,
                                 &SpeechPanelLogic::TBtypeChange);
    setst1();
    return shown;
}

void SpeechPanelLogic::setst1() {
    St1.Finish();
    prepareReading();
    St1.SetVoicechanger(uComm::Voicetype);
    St1.SetSpeakerName(uComm::Speaker + 1);
    St1.SetIntonation(uComm::Voiceint);
    St1.SetPitchForWoman(uComm::Voicew);
    St1.SetPitchForMan(uComm::Voicem);
    // A stored speed or volume at the slider's own position moves no slider, so no handler
    // gives it to the voice: given here.
    St1.SetSpeed(uComm::Speed);
    St1.SetVolume(uComm::Vol);
}

void SpeechPanelLogic::SpeakNow(const QString& text) {
    SpeechText = text;
    prepareReading();
    St1.Speak(SpeechText);
    St1.Finish();
}

void SpeechPanelLogic::Announce(const QString& text) {
    if (speechOn_)
        SpeechQueue.push(text);
}

void SpeechPanelLogic::CBspeakerChange(int index) {
    uComm::Speaker = index;
    St1.SetSpeakerName(index + 1);
    setst1();
}

void SpeechPanelLogic::TB1Change(int position) {
    St1.SetSpeed(position);
    uComm::Speed = position;
}

void SpeechPanelLogic::TBvolChange(int position) {
    uComm::Vol = position;
    St1.SetVolume(uComm::Vol);
}

void SpeechPanelLogic::TBvoicemChange(int position) {
    uComm::Voicem = position;
    setst1();
}

void SpeechPanelLogic::TBvoicewChange(int position) {
    uComm::Voicew = position;
    setst1();
}

void SpeechPanelLogic::TBintChange(int position) {
    uComm::Voiceint = position;
    setst1();
}

void SpeechPanelLogic::TBtypeChange(int position) {
    uComm::Voicetype = position;
    setst1();
}

void SpeechPanelLogic::RGotoClick(int index) {
    speechOn_ = index == VoicePanel::kSpeechOn;
    // Kept in the configuration file as it was left.
    uComm::Onsei = speechOn_ ? VoicePanel::kSpeechOn : 0;
    if (speechOn_) {
        prepareReading();
        SpeechQueue.clear();
        enableTimer1();
    } else {
        // The queue keeps its texts; switching on again empties it.
        Timer1.stop();
    }
}

void SpeechPanelLogic::Timer1Timer() {
    prepareReading();
    if (!SpeechQueue.isEmpty()) {
        // Stopped until the text has been heard: one text at a time.
        Timer1.stop();
        SpeechText = SpeechQueue.takeNext();
        St1.Speak(SpeechText);
    }
    St1.Finish();
}

void SpeechPanelLogic::St1EVOUTEND() {
    // Only while speech is on: an end arriving after the switch went to "無し" must not
    // restart the pump and speak what is left in the queue.
    if (speechOn_)
        enableTimer1();
}

void SpeechPanelLogic::CuteButton65Click() {
    SpeakNow(SpeechText);
    SpeakNow(VoicePanel::VoiceTestText());
    // The operator presses the test to hear the voice: silence must not pass for success.
    if (!St1.CanBeHeard())
        throw SpeechError(VoicePanel::NoSoundDeviceMessage());
}

int SpeechPanelLogic::moveSlider(int current, int wanted, const VoiceSlider& slider,
                                 void (SpeechPanelLogic::*onChange)(int)) {
    const int position = std::clamp(wanted, slider.minimum, slider.maximum);
    if (position != current)
        (this->*onChange)(position);
    return position;
}

void SpeechPanelLogic::prepareReading() {
    St1.Prepare();
    St1.SetSymbolRangeSpace(true);
    St1.SetNumRead(2);
}

// Enabling a running timer leaves its interval running, as switching it on again would not
// restart it.
void SpeechPanelLogic::enableTimer1() {
    if (!Timer1.isActive())
        Timer1.start();
}
