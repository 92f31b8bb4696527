#include "tools/SimulatorOptions.h"

#include "tools/DeviceLine.h"

#include <QCommandLineParser>

#include <stdexcept>

namespace {
[[noreturn]] void Refuse(const QString& what) {
    throw std::invalid_argument(what.toLocal8Bit().toStdString());
}

int IntegerOf(const QCommandLineParser& parser, const QString& name, int lowest) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < lowest)
        Refuse(QStringLiteral("--%1 wants a whole number of at least %2").arg(name).arg(lowest));
    return value;
}
} // namespace

SimulatorOptions ParseSimulatorOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Timing-device simulator: sends time-stamp lines (each ended by CR) over a serial "
        "line.\nWithout --device it opens a pseudo-terminal, prints its path, waits for a "
        "reader to open it,\nand after the last line waits until the reader closes it."));
    parser.addHelpOption();
    parser.addOptions({
        {"device", "Serial device to write to instead of a pseudo-terminal.", "path"},
        {"link",
         "Keep a symbolic link at this path to the pseudo-terminal, so that a port configured "
         "with it survives a restart of the simulator.",
         "path"},
        {"baud", "Line speed in bit/s (default 2400).", "bits", "2400"},
        {"rate", "Lines per second (default 1).", "lines", "1"},
        {"burst", "Send the lines back to back, without pauses."},
        {"count", "Number of lines, then stop (default: no end).", "n", "0"},
        {"file", "Send the lines of this file (CR added) instead of generated ones.", "path"},
        {"status", "Status character: \" \", \"?\" or \"c\" (default blank).", "char", " "},
        {"channel", "Channel, such as C1, C0 or C1M (default C1).", "name", "C1"},
        {"decimals", "Decimals of the time, 4 or 2 (default 4).", "n", "4"},
        {"number", "Number of the first line (default 1), 4 digits.", "n", "1"},
        {"start-time",
         "Time of the first line, HH:MM:SS[.ffff], advancing by the interval (default: the "
         "current local time).",
         "time"},
    });
    parser.process(arguments);

    SimulatorOptions options;
    options.device = parser.value("device");
    options.link = parser.value("link");
    if (!options.link.isEmpty() && !options.device.isEmpty())
        Refuse(QStringLiteral("--link is for the pseudo-terminal, not with --device"));
    options.bitRate = IntegerOf(parser, "baud", 50);
    bool ok = false;
    options.linesPerSecond = parser.value("rate").toDouble(&ok);
    if (!ok || options.linesPerSecond <= 0)
        Refuse(QStringLiteral("--rate wants a number above 0"));
    options.burst = parser.isSet("burst");
    options.count = IntegerOf(parser, "count", 0);
    options.file = parser.value("file");
    const QString status = parser.value("status");
    if (status.size() != 1)
        Refuse(QStringLiteral("--status wants one character"));
    options.status = status.front();
    options.channel = parser.value("channel");
    options.decimals = IntegerOf(parser, "decimals", 2);
    if (options.decimals != 2 && options.decimals != 4)
        Refuse(QStringLiteral("--decimals is 2 or 4"));
    options.firstNumber = IntegerOf(parser, "number", 0);
    if (parser.isSet("start-time")) {
        options.startTime = ParseTimeOfDay(parser.value("start-time"));
        if (!options.startTime)
            Refuse(QStringLiteral("--start-time wants HH:MM:SS[.ffff]"));
    }
    return options;
}
