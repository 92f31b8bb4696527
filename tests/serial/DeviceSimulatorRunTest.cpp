// The simulator program against the component, as the timing window meets it.

#include "CommOnPty.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {
// Runs the simulator with `arguments`, reads `size` bytes through the component from the
// pseudo-terminal it names, closes the port and expects the simulator to end by itself.
QByteArray ReceiveFromSimulator(const QStringList& arguments, int size) {
    QProcess simulator;
    simulator.start(DEVICESIM_PATH, arguments);
    EXPECT_TRUE(simulator.waitForReadyRead(5000));
    constexpr int kPort = 210;
    SetPortPathOverride(kPort, QString::fromLocal8Bit(simulator.readLine().trimmed()));

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
