// The device line mends itself: the saved port is kept while its device is away, the line is
// taken up again when a device appears at the same path, and the strip says what the line
// does, not what it did. The device is a pseudo-terminal reached through a link that is made,
// dropped and made again, as a USB adapter comes and goes at its device name.
#include "DeviceWindowFixture.h"

#include "common/uComm.h"
#include "serial/PortNames.h"
#include "timing/widgets/StatusStrip.h"

#include <QComboBox>
#include <QFile>

namespace {

using Field = StatusStrip::Field;

class DeviceComesBack : public DeviceWindowFixture {
protected:
    void SetUp() override {
        DeviceWindowFixture::SetUp();
        link = dataHome.filePath("timer");
        SetPortPathOverride(kPort, link);
    }
    void TearDown() override {
        uComm::DeviceQuietSeconds = 30;
        DeviceWindowFixture::TearDown();
    }
    StripReading Shown(Field field) const {
        return Control<StatusStrip>("StatusStrip")->Shown(field);
    }
    void Plug(const PtyPair& device) {
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(device.SlavePath(), link));
    }
    // Waits for the line to be open again, at most a few retries long.
    bool Reopened() {
        return Eventually([&] { return !Shown(Field::Device).text.contains("切断"); }, 6000);
    }

    QString link;
};

TEST_F(DeviceComesBack, TheSavedPortWaitsForItsDeviceAndTheLineIsTakenUpEachTimeItReturns) {
    uComm::DeviceQuietSeconds = 2;
    OpenWindow(); // no device at the port's path yet
    EXPECT_EQ(uComm::DevicePortNo, kPort);
    EXPECT_EQ(Control<QComboBox>("Cbxcomm1")->currentText(), "COM200");
    EXPECT_TRUE(Shown(Field::Device).text.startsWith("COM200 切断")) << qPrintable(Shown(Field::Device).text);
    EXPECT_EQ(Shown(Field::Device).colour, StripColours::Trouble);
    EXPECT_TRUE(answers.Texts().isEmpty()); // told on the strip and in the list, no box

    Plug(pty);
    ASSERT_TRUE(Reopened());
    // Open with nothing received is not receiving; once the quiet limit passes it is quiet.
    EXPECT_FALSE(Shown(Field::Device).text.contains("受信中"))
        << qPrintable(Shown(Field::Device).text);
    EXPECT_TRUE(Eventually([&] { return Shown(Field::Device).text.contains("無通信"); }));
    EXPECT_FALSE(Shown(Field::Device).text.contains("受信中"));
    Send(StampLine(" ", 1, "C1", "10:00:00.0000"));
    ASSERT_TRUE(WaitForRows(1));
    EXPECT_TRUE(Shown(Field::Device).text.contains("受信中"));

    pty.CloseMaster(); // the cable pulled
    ASSERT_TRUE(Eventually([&] { return Shown(Field::Device).text.startsWith("COM200 切断"); }));
    EXPECT_EQ(uComm::DevicePortNo, kPort);
    EXPECT_TRUE(Told().filter("接続が切れました").size() == 1) << qPrintable(Told().join('\n'));

    PtyPair again;
    Plug(again);
    ASSERT_TRUE(Reopened());
    ASSERT_TRUE(again.SendSome(StampLine(" ", 2, "C1", "10:00:01.0000")) > 0);
    ASSERT_TRUE(WaitForRows(2));
    EXPECT_TRUE(Eventually([&] { return Shown(Field::Device).text.contains("受信中"); }));
    // Nothing on the strip still says the line is gone.
    for (const Field field : {Field::Device, Field::Action})
        EXPECT_FALSE(Shown(field).text.contains("切")) << qPrintable(Shown(field).text);
    EXPECT_EQ(StoredRows().size(), 2);
}

} // namespace
