#include "speech/VoiceMapping.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kAlternatingSpeaker = 1;

struct SpeakerVoice {
    const char* name;
    bool female;
};

SpeakerVoice speakerVoice(int speakerName, bool femaleTurn) {
    switch (std::clamp(speakerName, 1, 5)) {
    case kAlternatingSpeaker:
        return femaleTurn ? SpeakerVoice{"ja+f1", true} : SpeakerVoice{"ja+m1", false};
    case 2:
        return {"ja+m1", false};
    case 3:
        return {"ja+f1", true};
    case 4:
        return {"ja+m3", false};
    default:
        return {"ja+f3", true};
    }
}

// Speed 4 is the engine's normal 175 words a minute; each step is 25 more or less.
int rateFor(int speed) {
    return 100 + 25 * (std::clamp(speed, 1, 10) - 1);
}

// 5 is the engine's normal volume 100; 10 doubles it.
int volumeFor(int volume) {
    return 20 * std::clamp(volume, 1, 10);
}

// 1..10 spread over the engine's 0..100 with 50 (normal) between 5 and 6.
int pitchFor(int pitch) {
    return 10 * std::clamp(pitch, 1, 10) - 5;
}

// 1 is monotone, 6 the widest range.
int rangeFor(int intonation) {
    return 20 * (std::clamp(intonation, 1, 6) - 1);
}

// One semitone a step around 5: from four below to five above.
double shiftRatioFor(int voicechanger) {
    return std::exp2((std::clamp(voicechanger, 1, 10) - 5) / 12.0);
}

// The engine refuses rates outside 80..450 words a minute.
int engineRate(double rate) {
    return std::clamp(int(std::lround(rate)), 80, 450);
}

} // namespace

EngineVoice MapToEngine(const ControlProperties& properties, bool femaleTurn) {
    const SpeakerVoice speaker = speakerVoice(properties.speakerName, femaleTurn);
    EngineVoice voice;
    voice.name = speaker.name;
    voice.female = speaker.female;
    voice.shiftRatio = shiftRatioFor(properties.voicechanger);
    voice.rate = engineRate(rateFor(properties.speed) / voice.shiftRatio);
    voice.volume = volumeFor(properties.volume);
    voice.pitch = pitchFor(speaker.female ? properties.pitchForWoman : properties.pitchForMan);
    voice.range = rangeFor(properties.intonation);
    return voice;
}

bool IsAlternatingSpeaker(int speakerName) {
    return std::clamp(speakerName, 1, 5) == kAlternatingSpeaker;
}

bool ReadsDigitByDigit(int numRead) {
    return std::clamp(numRead, 1, 2) == 1;
}
