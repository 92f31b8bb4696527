#include "speech/WavFile.h"

#include "speech/SpeechError.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr quint16 kPcmFormat = 1;
constexpr quint16 kChannels = 1;
constexpr quint16 kBitsPerSample = 16;
constexpr quint32 kFormatChunkSize = 16;
constexpr quint32 kHeaderBytesAfterRiffSize = 36; // "WAVE", the fmt chunk, the data header

void writeHeader(QDataStream& out, const SpeechAudio& audio, quint32 dataBytes) {
    constexpr quint16 blockAlign = kChannels * kBitsPerSample / 8;
    out.writeRawData("RIFF", 4);
    out << quint32(kHeaderBytesAfterRiffSize + dataBytes);
    out.writeRawData("WAVE", 4);
    out.writeRawData("fmt ", 4);
    out << kFormatChunkSize << kPcmFormat << kChannels << quint32(audio.sampleRate)
        << quint32(audio.sampleRate * blockAlign) << blockAlign << kBitsPerSample;
    out.writeRawData("data", 4);
    out << dataBytes;
}

} // namespace

void WriteWavFile(const QString& path, const SpeechAudio& audio) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw SpeechError(QStringLiteral("cannot create the folder %1").arg(folder));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw SpeechError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    const auto dataBytes = quint32(audio.samples.size() * sizeof(int16_t));
    writeHeader(out, audio, dataBytes);
    for (const int16_t sample : audio.samples)
        out << qint16(sample);
    if (out.status() != QDataStream::Ok || !file.commit())
        throw SpeechError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}
