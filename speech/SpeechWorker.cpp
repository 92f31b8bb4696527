#include "speech/SpeechWorker.h"

#include "speech/EspeakSynthesizer.h"
#include "speech/ReadingText.h"
#include "speech/SpeechError.h"
#include "speech/VoiceChanger.h"
#include "speech/WavFile.h"

SpeechWorker::SpeechWorker(QObject* parent) : QObject(parent), player_(this) {
    connect(&player_, &AudioPlayer::failed, this, &SpeechWorker::failed);
    connect(&player_, &AudioPlayer::finished, this, &SpeechWorker::onPlayed);
}

SpeechWorker::~SpeechWorker() = default;

void SpeechWorker::load() {
    try {
        reader();
        EspeakSynthesizer::start();
    } catch (const SpeechError& error) {
        emit failed(error.message());
    }
}

void SpeechWorker::speak(const SpeechJob& job) {
    waiting_.push_back({renderReportingFailure(job), job.device});
    playWaitingClips();
}

KanaReader& SpeechWorker::reader() {
    if (!reader_)
        reader_ = std::make_unique<KanaReader>();
    return *reader_;
}

SpeechAudio SpeechWorker::render(const SpeechJob& job) {
    const QString reading =
        ReadingForEngine(reader(), job.text, job.symbolsAsPause, job.digitByDigit);
    emit read(reading);
    return ShiftVoice(EspeakSynthesizer::synthesize(reading, job.voice), job.voice.shiftRatio);
}

SpeechAudio SpeechWorker::renderReportingFailure(const SpeechJob& job) {
    try {
        SpeechAudio audio = render(job);
        if (!job.wavPath.isEmpty())
            keepAsWav(job.wavPath, audio);
        return audio;
    } catch (const SpeechError& error) {
        // The text is lost, but its end is still reported: the program's queue waits for it.
        emit failed(error.message());
        return {};
    }
}

void SpeechWorker::keepAsWav(const QString& path, const SpeechAudio& audio) {
    try {
        WriteWavFile(path, audio);
    } catch (const SpeechError& error) {
        // The file is only a copy; the text is still heard.
        emit failed(error.message());
    }
}

void SpeechWorker::playWaitingClips() {
    while (!player_.isPlaying() && !waiting_.empty()) {
        Clip clip = std::move(waiting_.front());
        waiting_.pop_front();
        if (clip.device.isNull() || clip.audio.samples.empty()) {
            emit spoken();
            continue;
        }
        try {
            player_.play(clip.audio, clip.device);
        } catch (const SpeechError& error) {
            emit failed(error.message());
            emit spoken();
        }
    }
}

void SpeechWorker::onPlayed() {
    emit spoken();
    playWaitingClips();
}
