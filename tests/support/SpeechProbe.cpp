#include "support/SpeechProbe.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

QByteArray readTag(QDataStream& in) {
    QByteArray tag(4, '\0');
    in.readRawData(tag.data(), 4);
    return tag;
}

// Normalised autocorrelation of a frame at one lag.
double correlation(const int16_t* frame, int length, int lag) {
    double product = 0, energyA = 0, energyB = 0;
    for (int i = 0; i + lag < length; ++i) {
        product += double(frame[i]) * frame[i + lag];
        energyA += double(frame[i]) * frame[i];
        energyB += double(frame[i + lag]) * frame[i + lag];
    }
    return energyA > 0 && energyB > 0 ? product / std::sqrt(energyA * energyB) : 0;
}

// Pitch of one frame from its autocorrelation within the lags of 60..500 Hz; 0 when the frame
// is not clearly periodic. The shortest lag close to the best one is taken, since multiples
// of the period correlate almost as well.
double framePitchHz(const int16_t* frame, int length, int sampleRate) {
    const int minLag = sampleRate / 500;
    const int maxLag = std::min(sampleRate / 60, length / 2);
    std::vector<double> r(maxLag + 1, 0.0);
    double best = 0;
    for (int lag = minLag; lag <= maxLag; ++lag)
        best = std::max(best, r[lag] = correlation(frame, length, lag));
    constexpr double kVoiced = 0.6;
    if (best < kVoiced)
        return 0;
    for (int lag = minLag + 1; lag < maxLag; ++lag)
        if (r[lag] >= 0.9 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1])
            return double(sampleRate) / lag;
    return 0;
}

} // namespace

SpeechAudio ReadWav(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot open " << path.toStdString();
        return {};
    }
    QDataStream in(&file);
    in.setByteOrder(QDataStream::LittleEndian);
    quint32 riffSize, fmtSize, rate, byteRate, dataBytes;
    quint16 format, channels, blockAlign, bits;
    const QByteArray riff = readTag(in);
    in >> riffSize;
    const QByteArray wave = readTag(in);
    const QByteArray fmt = readTag(in);
    in >> fmtSize >> format >> channels >> rate >> byteRate >> blockAlign >> bits;
    const QByteArray data = readTag(in);
    in >> dataBytes;
    EXPECT_EQ(riff, "RIFF");
    EXPECT_EQ(wave, "WAVE");
    EXPECT_EQ(fmt, "fmt ");
    EXPECT_EQ(data, "data");
    EXPECT_EQ(format, 1);
    EXPECT_EQ(channels, 1);
    EXPECT_EQ(bits, 16);
    EXPECT_EQ(byteRate, rate * 2);
    EXPECT_EQ(riffSize, 36 + dataBytes);
    EXPECT_EQ(file.size(), 44 + qint64(dataBytes));
    SpeechAudio audio;
    audio.sampleRate = int(rate);
    audio.samples.resize(dataBytes / 2);
    for (auto& sample : audio.samples) {
        qint16 value;
        in >> value;
        sample = value;
    }
    EXPECT_EQ(in.status(), QDataStream::Ok);
    return audio;
}

QString WavPath(const QString& folder, int number) {
    return QDir(folder).filePath(QStringLiteral("speech_%1.wav").arg(number, 4, 10, QChar('0')));
}

double Rms(const SpeechAudio& audio) {
    if (audio.samples.empty())
        return 0;
    double sum = 0;
    for (const int16_t sample : audio.samples)
        sum += double(sample) * sample;
    return std::sqrt(sum / double(audio.samples.size()));
}

double MedianPitchHz(const SpeechAudio& audio) {
    const int frame = audio.sampleRate / 25; // 40 ms
    std::vector<double> pitches;
    for (size_t start = 0; start + frame <= audio.samples.size(); start += size_t(frame)) {
        const double pitch = framePitchHz(audio.samples.data() + start, frame, audio.sampleRate);
        if (pitch > 0)
            pitches.push_back(pitch);
    }
    if (pitches.empty())
        return 0;
    std::nth_element(pitches.begin(), pitches.begin() + pitches.size() / 2, pitches.end());
    return pitches[pitches.size() / 2];
}

bool WaitForSignals(QSignalSpy& spy, int count, int timeoutMs) {
    if (!QTest::qWaitFor([&] { return spy.count() >= count; }, timeoutMs))
        return false;
    QTest::qWait(50);
    return true;
}
