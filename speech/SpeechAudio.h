#pragma once
// Mono 16-bit PCM as the engine produces it.

#include <cstdint>
#include <vector>

struct SpeechAudio {
    std::vector<int16_t> samples;
    int sampleRate = 0;

    double seconds() const { return sampleRate > 0 ? double(samples.size()) / sampleRate : 0.0; }
};
