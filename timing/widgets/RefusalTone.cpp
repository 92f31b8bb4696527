#include "timing/widgets/RefusalTone.h"

#include "common/uComm.h"
#include "speech/SpeechError.h"

#include <QMediaDevices>
#include <cmath>
#include <numbers>

namespace {

constexpr int SampleRate = 22050;
constexpr int ToneMs = 100;
constexpr double Loudness = 0.4 * 32767;

void AppendTone(std::vector<int16_t>& samples, double hertz) {
    const int count = SampleRate * ToneMs / 1000;
    for (int i = 0; i < count; ++i) {
        // Faded in and out over the whole tone, so it starts and stops without a click.
        const double fade = std::sin(std::numbers::pi * i / count);
        const double wave = std::sin(2 * std::numbers::pi * hertz * i / SampleRate);
        samples.push_back(static_cast<int16_t>(Loudness * fade * wave));
    }
}

} // namespace

RefusalTone::RefusalTone(QObject* parent) : QObject(parent), player_(this) {}

SpeechAudio RefusalTone::Beep() {
    SpeechAudio beep;
    beep.sampleRate = SampleRate;
    AppendTone(beep.samples, 880);
    AppendTone(beep.samples, 587);
    return beep;
}

void RefusalTone::Sound() {
    if (!uComm::RefusalSound || player_.isPlaying())
        return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return;
    try {
        player_.play(Beep(), device);
    } catch (const SpeechError&) {
        // A device that cannot take the beep only loses the beep: the refusal is still in red
        // on the strip and in its message box.
    }
}
