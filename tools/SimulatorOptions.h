#pragma once
// The command line of the device simulator.

#include <QChar>
#include <QString>
#include <QStringList>

#include <optional>

struct SimulatorOptions {
    QString device; // empty: a fresh pseudo-terminal
    QString link;   // a symbolic link made to the pseudo-terminal, replaced at each start
    int bitRate = 2400;
    double linesPerSecond = 1.0;
    bool burst = false; // back to back, no pause
    int count = 0;      // 0: no end (with a file: all of its lines)
    QString file;       // lines to send instead of generated ones
    QChar status = u' ';
    QString channel = QStringLiteral("C1");
    int decimals = 4;
    int firstNumber = 1;
    std::optional<qint64> startTime; // none: the current time of each line
};

// Exits with the help text on --help; throws std::invalid_argument naming a bad value.
SimulatorOptions ParseSimulatorOptions(const QStringList& arguments);
