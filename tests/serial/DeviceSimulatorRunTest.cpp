// The simulator program against the component, as the timing window meets it.

#include "CommOnPty.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {
// Runs the simulator with `arguments`, reads `size` bytes through the component from the
// pseudo-terminal it names (or from `port`, a path configured for it), closes the port and
// expects the simulator to end by itself.
QByteArray ReceiveFromSimulator(const QStringList& arguments, int size, QString port = {}) {
    QProcess simulator;
    simulator.start(DEVICESIM_PATH, arguments);
    EXPECT_TRUE(simulator.waitForReadyRead(5000));
    constexpr int kPort = 210;
    const QString named = QString::fromLocal8Bit(simulator.readLine().trimmed());
    SetPortPathOverride(kPort, port.isEmpty() ? named : port);

    TCommX comm;
    comm.SetPortNo(kPort);
    comm.SetBitRate(2400);
    QByteArray received;
    comm.OnReceive = [&](QObject*, int count) {
        for (int i = 0; i < count; ++i)
            received.append(static_cast<char>(comm.ReadChar()));
    };
    comm.Open();
    EXPECT_TRUE(WaitFor([&] { return received.size() >= size; }, 5000));
    comm.Close();
    ClearPortPathOverrides();
    EXPECT_TRUE(simulator.waitForFinished(5000));
    EXPECT_EQ(simulator.exitCode(), 0);
    return received;
}
} // namespace

TEST(DeviceSimulatorRun, GeneratedLinesAdvanceByTheInterval) {
    const QByteArray expected = "?0012 C1  12:34:56.7890 00\r"
                                "?0013 C1  12:34:56.8890 00\r"
                                "?0014 C1  12:34:56.9890 00\r";
    EXPECT_EQ(ReceiveFromSimulator({"--count", "3", "--burst", "--rate", "10", "--number", "12",
                                    "--start-time", "12:34:56.7890", "--status", "?"},
                                   expected.size()),
              expected);
}

// A port configured with the link keeps working when the simulator starts again on another
// pseudo-terminal.
TEST(DeviceSimulatorRun, TheLinkFollowsEachNewPseudoTerminal) {
    QTemporaryDir dir;
    const QString link = dir.filePath("tty");
    const QStringList arguments = {"--count",       "1",      "--burst", "--start-time",
                                   "12:00:00.0000", "--link", link};
    const QByteArray line = "?0001 C1  12:00:00.0000 00\r";
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(ReceiveFromSimulator(arguments + QStringList{"--status", "?"}, line.size(), link),
                  line)
            << "run " << run;
        EXPECT_TRUE(QFileInfo(link).isSymLink());
    }
}

TEST(DeviceSimulatorRun, FileLinesGoOutAsWrittenWithCarriageReturns) {
    QTemporaryDir dir;
    QFile file(dir.filePath("lines.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(" 0001 C0  08:53:39.4922 00\r\n0012A\n");
    file.close();
    const QByteArray expected = " 0001 C0  08:53:39.4922 00\r0012A\r";
    EXPECT_EQ(ReceiveFromSimulator({"--file", file.fileName(), "--burst"}, expected.size()),
              expected);
}
