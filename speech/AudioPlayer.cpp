#include "speech/AudioPlayer.h"

#include "speech/SpeechError.h"

#include <QAudioFormat>
#include <QAudioSink>

namespace {

// Time a device may take beyond the audio's length before it is given up.
constexpr int kStallMarginMs = 3000;

QAudioFormat formatOf(const SpeechAudio& audio) {
    QAudioFormat format;
    format.setSampleRate(audio.sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

} // namespace

AudioPlayer::AudioPlayer(QObject* parent) : QObject(parent), buffer_(this), watchdog_(this) {
    watchdog_.setSingleShot(true);
    connect(&watchdog_, &QTimer::timeout, this, &AudioPlayer::onStalled);
}

void AudioPlayer::play(const SpeechAudio& audio, const QAudioDevice& device) {
    const QAudioFormat format = formatOf(audio);
    if (!device.isFormatSupported(format))
        throw SpeechError(QStringLiteral("the sound device %1 cannot play 16-bit mono at %2 Hz")
                              .arg(device.description())
                              .arg(audio.sampleRate));
    bytes_ = QByteArray(reinterpret_cast<const char*>(audio.samples.data()),
                        qsizetype(audio.samples.size() * sizeof(int16_t)));
    buffer_.setBuffer(&bytes_);
    buffer_.open(QIODevice::ReadOnly);
    sink_ = new QAudioSink(device, format, this);
    connect(sink_, &QAudioSink::stateChanged, this, &AudioPlayer::onStateChanged);
    watchdog_.start(int(audio.seconds() * 1000) + kStallMarginMs);
    sink_->start(&buffer_);
}

void AudioPlayer::onStateChanged(QAudio::State state) {
    // Idle: the buffer has been played out. Stopped: the device gave up.
    if (state == QAudio::IdleState) {
        end();
    } else if (state == QAudio::StoppedState && sink_->error() != QAudio::NoError) {
        emit failed(QStringLiteral("the sound device stopped (error %1)").arg(int(sink_->error())));
        end();
    }
}

void AudioPlayer::onStalled() {
    emit failed(QStringLiteral("the sound device did not finish playing; output stopped"));
    end();
}

void AudioPlayer::end() {
    watchdog_.stop();
    // Stopping makes the sink report its state again; that report is of no interest now.
    sink_->disconnect(this);
    sink_->stop();
    sink_->deleteLater();
    sink_ = nullptr;
    buffer_.close();
    emit finished();
}
