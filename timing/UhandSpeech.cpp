// Speech: the hidden speech control, the voice panel, the speech switch and the voice test.
// The decisions live in SpeechPanelLogic; this file ties them to the widgets.
#include "Uhand.h"

#include "common/ErrorReport.h"
#include "common/uComm.h"

#include "controls/CuteBtn.h"
#include "speech/SmarTalk.h"
#include "speech/SpeechPanelLogic.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

void TFhand::ConnectSpeechHandlers() {
    St1 = new TSmarTalk(this);
    St1->setObjectName(QStringLiteral("St1"));
    Speech = new SpeechPanelLogic(*St1, this);
    Speech->setObjectName(QStringLiteral("Speech"));
    connect(St1, &TSmarTalk::OnEVOUTEND, Speech, Guarded(Speech, &SpeechPanelLogic::St1EVOUTEND));
    connect(St1, &TSmarTalk::OnEVERROR, this, [](const QString& message) { ReportError(message); });

    // activated: only the operator's choice runs the handler, not an index set from code.
    connect(CBspeaker, &QComboBox::activated, Speech,
            Guarded(Speech, &SpeechPanelLogic::CBspeakerChange));
    const std::pair<QSlider*, void (SpeechPanelLogic::*)(int)> sliders[] = {
        {TB1, &SpeechPanelLogic::TB1Change},
        {TBvol, &SpeechPanelLogic::TBvolChange},
        {TBvoicem, &SpeechPanelLogic::TBvoicemChange},
        {TBvoicew, &SpeechPanelLogic::TBvoicewChange},
        {TBint, &SpeechPanelLogic::TBintChange},
        {TBtype, &SpeechPanelLogic::TBtypeChange}};
    for (const auto& [slider, handler] : sliders)
        connect(slider, &QSlider::valueChanged, Speech, Guarded(Speech, handler));
    connect(RGotoItems, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked)
            RunGuarded([&] { Speech->RGotoClick(index); });
    });
    connect(CuteButton65, &TCuteButton::OnClick, Speech,
            Guarded(Speech, &SpeechPanelLogic::CuteButton65Click));
}

void TFhand::ShowVoiceSettings() {
    VoicePanelPositions current;
    current.speakerIndex = CBspeaker->currentIndex();
    current.speed = TB1->value();
    current.volume = TBvol->value();
    current.pitchForMan = TBvoicem->value();
    current.pitchForWoman = TBvoicew->value();
    current.intonation = TBint->value();
    current.voiceType = TBtype->value();
    // The handlers of the positions that moved have run; the widgets only follow.
    const VoicePanelPositions shown = Speech->ApplyShowTimeSettings(current);
    const std::pair<QSlider*, int> positions[] = {{TB1, shown.speed},
                                                  {TBvol, shown.volume},
                                                  {TBvoicem, shown.pitchForMan},
                                                  {TBvoicew, shown.pitchForWoman},
                                                  {TBint, shown.intonation},
                                                  {TBtype, shown.voiceType}};
    for (const auto& [slider, position] : positions) {
        const QSignalBlocker blocker(slider);
        slider->setValue(position);
    }
    const QSignalBlocker blocker(CBspeaker);
    CBspeaker->setCurrentIndex(shown.speakerIndex);
    // 有り as it was left: its handler runs and speech starts.
    (uComm::Onsei == VoicePanel::kSpeechOn ? RGotoOn : RGotoOff)->setChecked(true);
}
