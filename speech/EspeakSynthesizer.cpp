#include "speech/EspeakSynthesizer.h"

#include "speech/SpeechError.h"

#include <espeak-ng/speak_lib.h>

#include <mutex>

namespace {

std::mutex engineLock;
int engineSampleRate = 0; // 0 until the engine has started

int collectSamples(short* wav, int count, espeak_EVENT* events) {
    auto* samples = static_cast<std::vector<int16_t>*>(events->user_data);
    if (wav && count > 0)
        samples->insert(samples->end(), wav, wav + count);
    return 0; // go on synthesising
}

void startEngine() {
    if (engineSampleRate > 0)
        return;
    // DONT_EXIT: without it the library ends the whole process when its data is missing.
    const int rate =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0)
        throw SpeechError(
            QStringLiteral("espeak-ng could not start (is espeak-ng-data installed?)"));
    espeak_SetSynthCallback(collectSamples);
    engineSampleRate = rate;
}

void check(espeak_ERROR result, const QString& what) {
    if (result != EE_OK)
        throw SpeechError(QStringLiteral("espeak-ng: %1 failed (error %2)").arg(what).arg(result));
}

void applyVoice(const EngineVoice& voice) {
    const QString name = QString::fromLatin1(voice.name);
    check(espeak_SetVoiceByName(voice.name.constData()), QStringLiteral("voice ") + name);
    check(espeak_SetParameter(espeakRATE, voice.rate, 0), QStringLiteral("rate"));
    check(espeak_SetParameter(espeakVOLUME, voice.volume, 0), QStringLiteral("volume"));
    check(espeak_SetParameter(espeakPITCH, voice.pitch, 0), QStringLiteral("pitch"));
    check(espeak_SetParameter(espeakRANGE, voice.range, 0), QStringLiteral("pitch range"));
}

} // namespace

void EspeakSynthesizer::start() {
    std::lock_guard lock(engineLock);
    startEngine();
}

SpeechAudio EspeakSynthesizer::synthesize(const QString& text, const EngineVoice& voice) {
    std::lock_guard lock(engineLock);
    startEngine();
    SpeechAudio audio;
    audio.sampleRate = engineSampleRate;
    if (text.trimmed().isEmpty())
        return audio;
    applyVoice(voice);
    // Plain text, never SSML: a "<" in an operator's text is read, not obeyed.
    const QByteArray utf8 = text.toUtf8();
    check(espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                       espeakCHARS_UTF8, nullptr, &audio.samples),
          QStringLiteral("synthesis"));
    return audio;
}
