#include "speech/SmarTalk.h"

#include "speech/SpeechWorker.h"

#include <QDir>
#include <QMediaDevices>

TSmarTalk::TSmarTalk(QObject* parent)
    : QObject(parent), wavFolder_(qEnvironmentVariable("TARNIK_SPEECH_WAV_DIR")),
      worker_(new SpeechWorker) {
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &SpeechWorker::spoken, this, &TSmarTalk::OnEVOUTEND);
    connect(worker_, &SpeechWorker::failed, this, &TSmarTalk::OnEVERROR);
    connect(worker_, &SpeechWorker::read, this, &TSmarTalk::KanaReading);
    thread_.setObjectName(QStringLiteral("speech"));
    thread_.start();
}

TSmarTalk::~TSmarTalk() {
    thread_.quit();
    thread_.wait();
}

short TSmarTalk::Prepare() {
    if (!prepared_) {
        prepared_ = true;
        QMetaObject::invokeMethod(worker_, &SpeechWorker::load, Qt::QueuedConnection);
    }
    return 0;
}

short TSmarTalk::Speak(const QString& text) {
    SpeechJob job;
    job.text = text;
    job.voice = MapToEngine(properties_, nextTurnIsFemale());
    job.symbolsAsPause = properties_.symbolRangeSpace;
    job.digitByDigit = ReadsDigitByDigit(properties_.numRead);
    job.wavPath = nextWavPath();
    // Asked for each text, so a device plugged in or removed meanwhile is taken into account.
    if (playbackEnabled_)
        job.device = QMediaDevices::defaultAudioOutput();
    QMetaObject::invokeMethod(
        worker_, [worker = worker_, job] { worker->speak(job); }, Qt::QueuedConnection);
    return 0;
}

bool TSmarTalk::CanBeHeard() const {
    return playbackEnabled_ && !QMediaDevices::defaultAudioOutput().isNull();
}

short TSmarTalk::Finish() {
    return 0;
}

bool TSmarTalk::nextTurnIsFemale() {
    if (!IsAlternatingSpeaker(properties_.speakerName))
        return false;
    const bool female = femaleTurn_;
    femaleTurn_ = !femaleTurn_;
    return female;
}

QString TSmarTalk::nextWavPath() {
    if (wavFolder_.isEmpty())
        return QString();
    ++wavFileNumber_;
    return QDir(wavFolder_)
        .filePath(QStringLiteral("speech_%1.wav").arg(wavFileNumber_, 4, 10, QLatin1Char('0')));
}
