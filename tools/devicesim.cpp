// Timing-device simulator: sends device lines to a pseudo-terminal or a serial device, for
// trying the timing window and for tests and benchmarks.

#include "tools/DeviceLine.h"
#include "tools/LineOutput.h"
#include "tools/SimulatorOptions.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <cmath>
#include <cstdio>
#include <stdexcept>

using namespace std::chrono;

namespace {
QList<QByteArray> FileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
    QList<QByteArray> lines;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        // Only the line end is replaced: a leading blank is the status character.
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        lines.append(line + '\r');
    }
    return lines;
}

// Line `index` (from 0) of a generated run.
QByteArray GeneratedLine(const SimulatorOptions& options, int index) {
    const auto interval = std::llround(kTicksPerSecond / options.linesPerSecond);
    const qint64 now = qint64(QTime::currentTime().msecsSinceStartOfDay()) * 10;
    return FormatDeviceLine({
        .status = options.status,
        .number = (options.firstNumber + index) % 10000,
        .channel = options.channel,
        .timeOfDay = options.startTime ? *options.startTime + index * interval : now,
        .decimals = options.decimals,
    });
}

// The link of an earlier run is replaced; anything else at that path is left alone.
void LinkTo(const QString& link, const QString& target) {
    const QFileInfo existing(link);
    if (existing.exists() && !existing.isSymLink())
        throw std::invalid_argument(
            QStringLiteral("--link %1: a file that is no link is there").arg(link).toStdString());
    if (existing.isSymLink())
        QFile::remove(link);
    if (!QFile::link(target, link))
        throw std::invalid_argument(
            QStringLiteral("--link %1: the link cannot be made").arg(link).toStdString());
}

void Run(const SimulatorOptions& options) {
    const QList<QByteArray> fileLines =
        options.file.isEmpty() ? QList<QByteArray>{} : FileLines(options.file);
    int total = options.count;
    if (!options.file.isEmpty())
        total = total == 0 ? int(fileLines.size()) : std::min(total, int(fileLines.size()));

    LineOutput output = options.device.isEmpty()
                            ? LineOutput::OpenPseudoTerminal(options.bitRate)
                            : LineOutput::OpenDevice(options.device, options.bitRate);
    if (!options.link.isEmpty())
        LinkTo(options.link, output.Path());
    std::printf("%s\n", qPrintable(output.Path()));
    std::fflush(stdout);
    output.WaitForReader();

    const auto start = steady_clock::now();
    const duration<double> interval(1.0 / options.linesPerSecond);
    for (int i = 0; total == 0 || i < total; ++i) {
        output.Send(options.file.isEmpty() ? GeneratedLine(options, i) : fileLines[i]);
        if (!options.burst)
            output.IdleUntil(start + duration_cast<steady_clock::duration>((i + 1) * interval));
    }
    output.Finish();
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("devicesim"));
    try {
        Run(ParseSimulatorOptions(QCoreApplication::arguments()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "devicesim: %s\n", e.what());
        return 1;
    }
    return 0;
}
