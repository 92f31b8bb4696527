#include "serial/PortNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class PortNamesTest : public ::testing::Test {
protected:
    void TearDown() override { ClearPortPathOverrides(); }

    // A device entry of a fake /sys/class/tty, with the UART type for ttyS entries.
    void AddDevice(const QString& name, const char* type = nullptr) {
        ASSERT_TRUE(QDir(sys.path()).mkdir(name));
        if (!type)
            return;
        QFile file(sys.filePath(name + "/type"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(type);
    }

    QTemporaryDir sys;
};

TEST_F(PortNamesTest, NumbersMapToTheThreeDeviceFamiliesAndOverridesWin) {
    const std::pair<int, const char*> expected[] = {
        {1, "/dev/ttyS0"},
        {32, "/dev/ttyS31"},
        {33, "/dev/ttyUSB0"},
        {64, "/dev/ttyUSB31"},
        {65, "/dev/ttyACM0"},
        {96, "/dev/ttyACM31"},
        {0, ""},
        {97, ""},
        {-1, ""},
    };
    for (const auto& [n, path] : expected)
        EXPECT_EQ(DevicePathForPort(n), QString::fromLatin1(path)) << n;

    SetPortPathOverride(3, "/dev/serial/by-id/usb-timer");
    SetPortPathOverride(150, "/dev/pts/7");
    EXPECT_EQ(DevicePathForPort(3), "/dev/serial/by-id/usb-timer");
    EXPECT_EQ(DevicePathForPort(150), "/dev/pts/7");
    ClearPortPathOverrides();
    EXPECT_EQ(DevicePathForPort(3), "/dev/ttyS2");
}

TEST_F(PortNamesTest, PresentPortsAreRealSerialDevicesAndExistingOverrides) {
    AddDevice("ttyS0", "4\n"); // a 16550A
    AddDevice("ttyS1", "0\n"); // a slot without a UART
    AddDevice("ttyS4", "4\n"); // overridden below to a path that does not exist
    AddDevice("ttyUSB2");
    AddDevice("ttyACM0");
    AddDevice("ttyUSB32"); // beyond the 32 of its family
    AddDevice("tty1");
    AddDevice("console");
    SetPortPathOverride(5, sys.filePath("missing"));
    SetPortPathOverride(120, sys.path());

    EXPECT_EQ(PresentPortsUnder(sys.path()), (QList<int>{1, 35, 65, 120}));
}
