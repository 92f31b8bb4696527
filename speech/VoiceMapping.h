#pragma once
// How the speech control's property values become engine parameters.
//
// The control keeps whatever the program writes (the program writes 0 to PitchForMan when the
// setting was never stored); only here are the values clamped to their ranges:
//   SpeakerName 1..5         ja+m1 and ja+f1 in turn, ja+m1, ja+f1, ja+m3, ja+f3
//   Speed 1..10              rate 100..325 words a minute, 25 a step (4: the engine's 175)
//   Volume 1..10             volume 20..200 (5: the engine's normal 100)
//   PitchForMan/Woman 1..10  pitch 5..95, for the voice of that gender only
//   Intonation 1..6          pitch range 0..100
//   Voicechanger 1..10       resampling by 2^(-4/12)..2^(5/12), a semitone a step (5: none);
//                            the rate is divided by the ratio so the length stays
//   NumRead 1..2             1 digit by digit, 2 whole numbers

#include <QByteArray>

// The property values of the speech control, as last written.
struct ControlProperties {
    int speakerName = 1; // 1 "男性１&女性１", 2 "男性１", 3 "女性１", 4 "男性２", 5 "女性２"
    int speed = 4;         // 1..10
    int volume = 5;        // 1..10
    int voicechanger = 5;  // 1..10, 5 leaves the voice as synthesised
    int intonation = 3;    // 1..6
    int pitchForWoman = 5; // 1..10
    int pitchForMan = 5;   // 1..10
    bool symbolRangeSpace = false;
    int numRead = 2; // 1 digit by digit, 2 whole numbers
};

// What one text is synthesised with.
struct EngineVoice {
    QByteArray name; // espeak-ng voice with variant, e.g. "ja+f1"
    bool female = false;
    int rate = 0;   // espeakRATE, words per minute
    int volume = 0; // espeakVOLUME
    int pitch = 0;  // espeakPITCH
    int range = 0;  // espeakRANGE
    // Voice changer: the audio is resampled by this ratio, which shifts pitch and formants
    // together; the rate is already divided by it so that the text keeps its length.
    double shiftRatio = 1.0;
};

// femaleTurn chooses the voice of "男性１&女性１", which alternates between its two voices.
EngineVoice MapToEngine(const ControlProperties& properties, bool femaleTurn);

// Whether a SpeakerName value (clamped) is the alternating pair.
bool IsAlternatingSpeaker(int speakerName);

// Reading rules, clamped: true when numbers are read digit by digit.
bool ReadsDigitByDigit(int numRead);
