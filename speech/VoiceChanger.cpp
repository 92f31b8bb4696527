#include "speech/VoiceChanger.h"

#include <algorithm>
#include <cmath>

SpeechAudio ShiftVoice(const SpeechAudio& audio, double ratio) {
    if (ratio == 1.0 || audio.samples.size() < 2)
        return audio;
    SpeechAudio shifted;
    shifted.sampleRate = audio.sampleRate;
    const auto& in = audio.samples;
    const auto count = size_t(double(in.size() - 1) / ratio) + 1;
    shifted.samples.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        // Linear interpolation between the two neighbouring input samples.
        const double position = double(i) * ratio;
        const auto left = size_t(position);
        const size_t right = std::min(left + 1, in.size() - 1);
        const double weight = position - double(left);
        const double value = in[left] * (1.0 - weight) + in[right] * weight;
        shifted.samples.push_back(int16_t(std::lround(value)));
    }
    return shifted;
}
