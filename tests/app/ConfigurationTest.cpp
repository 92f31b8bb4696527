#include "app/Configuration.h"

#include "app/ProfileFile.h"
#include "common/uComm.h"
#include "tests/app/FileFixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

const QByteArray kAllDefaults = "[MainForm]\n"
                                "Left=0\n"
                                "Top=0\n"
                                "[AMB]\n"
                                "ID=233\n"
                                "VerUpNo=0\n"
                                "[Talk]\n"
                                "Speaker=3\n"
                                "Voicetype=5\n"
                                "Voiceint=5\n"
                                "Voicew=6\n"
                                "Voicem=6\n"
                                "Speed=6\n"
                                "Vol=5\n"
                                "Onsei=0\n"
                                "[Port]\n"
                                "Alge=0\n"
                                "QuietSeconds=30\n"
                                "[DB]\n"
                                "DataIndex=0\n"
                                "[ENV]\n"
                                "LapMin=5\n"
                                "Exchange=0\n"
                                "RefusalSound=1\n";

// Values no file gives, so that a load that skips a setting shows.
void SpoilSettings() {
    uComm::ID = uComm::VerUpNo = uComm::Onsei = -99;
    uComm::Speaker = uComm::Voicetype = uComm::Voiceint = uComm::Voicew = -99;
    uComm::Voicem = uComm::Speed = uComm::Vol = uComm::DevicePortNo = -99;
    uComm::MinMeasureMinutes = QStringLiteral("spoilt");
    for (QString& cutOff : uComm::CutOffTimes)
        cutOff = QStringLiteral("spoilt");
}

// The integer settings in the order the file holds them: ID, VerUpNo, the eight Talk keys,
// Alge.
std::vector<int> IntegerSettings() {
    return {uComm::ID,       uComm::VerUpNo, uComm::Speaker,     uComm::Voicetype,
            uComm::Voiceint, uComm::Voicew,  uComm::Voicem,      uComm::Speed,
            uComm::Vol,      uComm::Onsei,   uComm::DevicePortNo};
}

class ConfigurationTest : public testing::Test {
protected:
    void SetUp() override {
        SpoilSettings();
        uComm::RaceCode.clear();
    }

    QTemporaryDir dir_;
    WorkingDirectory cwd_{dir_.path()};
    QString path_ = dir_.filePath(QStringLiteral("TarnikMid.ini"));
};

TEST_F(ConfigurationTest, AbsentFileGivesDefaultsAndSaveWritesAllEighteenKeysInOrder) {
    const MainFormConfig config = LoadConfiguration();

    EXPECT_EQ(config.Position, QPoint(0, 0));
    EXPECT_EQ(config.DataIndex, 0);
    EXPECT_TRUE(config.PortPaths.isEmpty());
    EXPECT_EQ(IntegerSettings(), (std::vector<int>{233, 0, 3, 5, 5, 6, 6, 6, 5, 0, 0}));
    EXPECT_EQ(uComm::MinMeasureMinutes, "5");

    SaveConfiguration(config.Position, config.DataIndex);
    EXPECT_EQ(FileText(path_), kAllDefaults);
}

TEST_F(ConfigurationTest, EveryKeyIsLoadedIntoItsSetting) {
    WriteFileText(path_, "[mainform]\ntop=0x10\nleft=-20\n"
                         "[AMB]\nID=7\nVerUpNo=8\n"
                         "[TALK]\nSpeaker=0\nVoicetype=1\nVoiceint=2\nVoicew=10\nVoicem=9\n"
                         "Speed=3\nVol=junk\nOnsei=1\n"
                         "[Port]\nAlge=4\n[DB]\nDataIndex=5\n[ENV]\nLapMin= 2.5 \n"
                         "[CutOff]\nMid2=11:30:00\n");
    const MainFormConfig config = LoadConfiguration();

    EXPECT_EQ(config.Position, QPoint(-20, 16));
    EXPECT_EQ(config.DataIndex, 5); // not limited here: the radio group clamps it
    EXPECT_EQ(IntegerSettings(), (std::vector<int>{7, 8, 0, 1, 2, 10, 9, 3, 5, 1, 4}));
    EXPECT_EQ(uComm::MinMeasureMinutes, "2.5");
    // Cut-offs are a race's own: none is in force before a race is chosen.
    EXPECT_EQ(uComm::CutOffTimes[1], "");
}

// Each race finds its own minimum times and cut-offs in the file after a restart; a race the
// file does not know takes [ENV] LapMin and no cut-offs.
TEST_F(ConfigurationTest, EachRaceKeepsItsOwnMinimumTimesAndCutOffsInTheFile) {
    WriteFileText(path_, "[ENV]\nLapMin=6\n"
                         "[Race 202612061]\nLapMin=15\nRelayMin=12\nMid2=11:30:00\n");
    LoadConfiguration();
    uComm::RaceCode = "202612061";
    uComm::TakeRaceSettings();
    EXPECT_EQ(uComm::MinMeasureMinutes, "15");
    EXPECT_EQ(uComm::RelayMinMeasureMinutes, "12");
    EXPECT_EQ(uComm::CutOffTimes[1], "11:30:00");

    uComm::RaceCode = "202612062";
    uComm::TakeRaceSettings();
    EXPECT_EQ(uComm::MinMeasureMinutes, "6");
    EXPECT_EQ(uComm::RelayMinMeasureMinutes, "6");
    EXPECT_EQ(uComm::CutOffTimes[1], "");
    uComm::CutOffTimes[0] = "10:00:00";
    uComm::KeepRaceSettings();
    EXPECT_TRUE(FileText(path_).endsWith("[Race 202612062]\nLapMin=6\nRelayMin=6\n"
                                         "Mid1=10:00:00\nMid2=\nMid3=\nMid4=\nMid5=\n"))
        << FileText(path_).constData();

    SpoilSettings();
    LoadConfiguration();
    uComm::TakeRaceSettings();
    EXPECT_EQ(uComm::CutOffTimes[0], "10:00:00");
    SaveConfiguration(QPoint(0, 0), 0);
    EXPECT_TRUE(FileText(path_).contains("[ENV]\nLapMin=6\n")) << FileText(path_).constData();
    uComm::RaceCode.clear();
}

TEST_F(ConfigurationTest, PortOverridesAreLoadedAndSurviveASave) {
    const QByteArray portSection = "[Port]\n"
                                   "Alge=3\n"
                                   "COM3=/dev/pts/5\n"
                                   "com40=/dev/serial/by-id/usb-timer\n"
                                   "COM0=/dev/null\n"
                                   "COMx=/dev/ttyS9\n"
                                   "COM7=\n"
                                   "COM3=/dev/ignored-second\n";
    WriteFileText(path_, portSection + "[Other]\nkept=yes\n");

    const MainFormConfig config = LoadConfiguration();
    const QMap<int, QString> expected{{3, "/dev/pts/5"}, {40, "/dev/serial/by-id/usb-timer"}};
    EXPECT_EQ(config.PortPaths, expected);

    SaveConfiguration(QPoint(1, 2), 1);
    const QByteArray saved = FileText(path_);
    EXPECT_TRUE(saved.startsWith(portSection +
                                 "QuietSeconds=30\n[Other]\nkept=yes\n[MainForm]\nLeft=1\nTop=2\n"))
        << saved.constData();
    EXPECT_EQ(LoadConfiguration().PortPaths, expected);
}

TEST_F(ConfigurationTest, FileFollowsTheWorkingDirectoryOfEachCall) {
    uComm::Speaker = 1;
    uComm::MinMeasureMinutes = "7";
    SaveConfiguration(QPoint(5, 6), 2);
    const QByteArray first = FileText(path_);

    QTemporaryDir other;
    const WorkingDirectory moved(other.path());
    EXPECT_EQ(ConfigFilePath(), other.filePath("TarnikMid.ini"));
    const MainFormConfig config = LoadConfiguration();
    EXPECT_EQ(config.DataIndex, 0);
    EXPECT_EQ(uComm::Speaker, 3);
    SaveConfiguration(config.Position, config.DataIndex);

    EXPECT_EQ(FileText(other.filePath("TarnikMid.ini")), kAllDefaults);
    EXPECT_EQ(FileText(path_), first);
}

TEST_F(ConfigurationTest, SaveFailureNamesTheFileAndKeepsTheKeysWrittenBeforeIt) {
    LoadConfiguration();
    const QByteArray fitsOnDisk = "[MainForm]\nLeft=0\nTop=0\n[AMB]\nID=233\n";
    QString error;
    try {
        const FileSizeLimit diskFull(fitsOnDisk.size() + 1);
        SaveConfiguration(QPoint(0, 0), 0);
    } catch (const ProfileWriteError& e) {
        error = QString::fromUtf8(e.what());
    }
    EXPECT_TRUE(error.contains(path_)) << error.toStdString();
    EXPECT_EQ(FileText(path_), fitsOnDisk);
}

// A file brought from a Windows workstation is in Shift-JIS: its Japanese is read as written,
// and a save leaves it in Shift-JIS.
TEST_F(ConfigurationTest, AShiftJisFileIsReadAsSuchAndStaysShiftJisThroughASave) {
    const QByteArray kept = "; \x8a\xd6\x96\xe5\x8e\x9e\x8d\x8f\n"          // "; 関門時刻"
                            "[Port]\nCOM3=/dev/\x8c\x76\x8e\x9e\x8a\xed\n"; // "/dev/計時器"
    WriteFileText(path_, kept);

    EXPECT_EQ(LoadConfiguration().PortPaths.value(3), "/dev/計時器");
    SaveConfiguration(QPoint(0, 0), 0);
    const QByteArray saved = FileText(path_);
    EXPECT_TRUE(saved.startsWith(kept)) << saved.toHex(' ').constData();
    EXPECT_EQ(LoadConfiguration().PortPaths.value(3), "/dev/計時器");
}

} // namespace
