#include "app/ProfileFile.h"

#include "tests/app/FileFixtures.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class ProfileFileTest : public testing::Test {
protected:
    QTemporaryDir dir_;
    QString path_ = dir_.filePath(QStringLiteral("test.ini"));
    ProfileFile ini_{path_};
};

TEST_F(ProfileFileTest, MissingFileGivesDefaultsAndReadingDoesNotCreateIt) {
    EXPECT_EQ(ini_.ReadInteger("Talk", "Speaker", 3), 3);
    EXPECT_EQ(ini_.ReadString("ENV", "LapMin", "5"), "5");
    EXPECT_TRUE(ini_.ReadSection("Port").isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path_));
}

TEST_F(ProfileFileTest, IntegersAreDecimalOrHexWithTheDefaultOnAnythingElse) {
    WriteFileText(path_, "[S]\n"
                         "dec=42\n"
                         "neg=-17\n"
                         "padded=  8  \n"
                         "hex=0x1F\n"
                         "upperhex=0X7fffffff\n"
                         "empty=\n"
                         "junk=12abc\n"
                         "word=five\n"
                         "barehex=0x\n"
                         "signedhex=0x-5\n"
                         "over=2147483648\n"
                         "overhex=0x80000000\n"
                         "float=1.5\n");
    EXPECT_EQ(ini_.ReadInteger("S", "dec", 99), 42);
    EXPECT_EQ(ini_.ReadInteger("S", "neg", 99), -17);
    EXPECT_EQ(ini_.ReadInteger("S", "padded", 99), 8);
    EXPECT_EQ(ini_.ReadInteger("S", "hex", 99), 31);
    EXPECT_EQ(ini_.ReadInteger("S", "upperhex", 99), 2147483647);
    for (const char* key :
         {"empty", "junk", "word", "barehex", "signedhex", "over", "overhex", "float"})
        EXPECT_EQ(ini_.ReadInteger("S", key, 99), 99) << key;
    // A key that is there but empty is empty text, not the default.
    EXPECT_EQ(ini_.ReadString("S", "empty", "5"), "");
}

TEST_F(ProfileFileTest, SectionsAndKeysAreFoundWithoutRegardToCase) {
    WriteFileText(path_, "[talk]\nSPEAKER=2\n");
    EXPECT_EQ(ini_.ReadInteger("Talk", "Speaker", 3), 2);

    ini_.WriteInteger("TALK", "speaker", 4);
    EXPECT_EQ(FileText(path_), "[talk]\nSPEAKER=4\n");
}

TEST_F(ProfileFileTest, WritesTouchOnlyTheirKeyAndKeepEverythingElse) {
    const QByteArray before = "; written by hand\n"
                              "[Port]\n"
                              "Alge=2\n"
                              "COM3 = /dev/pts/7\n"
                              "\n"
                              "[Unknown]\n"
                              "anything = goes here\n"
                              "no equals sign\n";
    WriteFileText(path_, before);

    ini_.WriteInteger("Port", "Alge", 5);
    ini_.WriteString("Port", "COM4", "/dev/ttyUSB0");
    ini_.WriteString("unknown", "anything", "changed");

    EXPECT_EQ(FileText(path_), "; written by hand\n"
                               "[Port]\n"
                               "Alge=5\n"
                               "COM3 = /dev/pts/7\n"
                               "COM4=/dev/ttyUSB0\n"
                               "\n"
                               "[Unknown]\n"
                               "anything=changed\n"
                               "no equals sign\n");
    const QList<QPair<QString, QString>> port{
        {"Alge", "5"}, {"COM3", "/dev/pts/7"}, {"COM4", "/dev/ttyUSB0"}};
    EXPECT_EQ(ini_.ReadSection("PORT"), port);
}

TEST_F(ProfileFileTest, FileWithWindowsLineEndsKeepsThem) {
    WriteFileText(path_, "[A]\r\nx=1\r\n");
    ini_.WriteInteger("A", "y", 2);
    EXPECT_EQ(FileText(path_), "[A]\r\nx=1\r\ny=2\r\n");
    EXPECT_EQ(ini_.ReadInteger("A", "x", 0), 1);
}

TEST_F(ProfileFileTest, NewSectionsComeInTheOrderOfTheirFirstWriteAndValuesStayOnOneLine) {
    ini_.WriteInteger("Zeta", "a", 1);
    ini_.WriteInteger("Alpha", "b", 2);
    ini_.WriteInteger("Zeta", "c", 3);
    ini_.WriteString("Mid", "d", "text with = sign");
    ini_.WriteString("Mid", "e", "5\n[DB]\r\nDataIndex=2");
    EXPECT_EQ(FileText(path_), "[Zeta]\na=1\nc=3\n[Alpha]\nb=2\n[Mid]\nd=text with = sign\n"
                               "e=5 [DB]  DataIndex=2\n");
    EXPECT_EQ(ini_.ReadString("Mid", "d", ""), "text with = sign");
}

TEST_F(ProfileFileTest, WriteFailureNamesTheFile) {
    // A directory where the file should be: no write can succeed, not even as root.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("test.ini"));
    try {
        ini_.WriteInteger("A", "x", 1);
        FAIL() << "no error";
    } catch (const ProfileWriteError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(path_)) << e.what();
    }
}

TEST_F(ProfileFileTest, FailedWriteLeavesTheKeysWrittenBeforeIt) {
    ini_.WriteString("A", "first", "kept");
    const QByteArray written = FileText(path_);
    {
        FileSizeLimit diskFull(written.size() + 4);
        EXPECT_THROW(ini_.WriteString("A", "second", "too long for the disk"), ProfileWriteError);
    }
    EXPECT_EQ(FileText(path_), written);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"test.ini"});
}

// Writes a key as a user who may write the file but create nothing in its folder (root may
// create anything, so the write is done by an unprivileged child then); true if it succeeded.
bool WriteAsUserWithoutFolderRights(ProfileFile& ini, const QString& folder) {
    const QFileDevice::Permissions readAndSearch =
        QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    if (!QFile::setPermissions(folder, readAndSearch))
        return false;
    const pid_t child = fork();
    if (child == 0) {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(2);
        try {
            ini.WriteInteger("Talk", "Speed", 7);
            _exit(0);
        } catch (const ProfileWriteError&) {
            _exit(1);
        }
    }
    int status = -1;
    waitpid(child, &status, 0);
    QFile::setPermissions(folder, readAndSearch | QFile::WriteOwner);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(ProfileFileTest, ByteOrderMarkAndAFolderThatTakesNoNewFile) {
    // Saved by a Windows editor: the mark is not part of the first section's name.
    WriteFileText(path_, "\xEF\xBB\xBF[Talk]\r\nSpeaker=2\r\n");
    EXPECT_EQ(ini_.ReadInteger("Talk", "Speaker", 0), 2);
    ASSERT_TRUE(QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ReadOther | QFile::WriteOther));

    EXPECT_TRUE(WriteAsUserWithoutFolderRights(ini_, dir_.path()));
    EXPECT_EQ(FileText(path_), "\xEF\xBB\xBF[Talk]\r\nSpeaker=2\r\nSpeed=7\r\n");
}

// Valid UTF-8 is read as UTF-8; anything else as Shift-JIS, the way a Windows workstation
// writes it, and written back so: keys and sections in Japanese too.
TEST_F(ProfileFileTest, ShiftJisFilesAreReadAndWrittenInShiftJisAndUtf8FilesInUtf8) {
    const QByteArray comment = "; \x8a\xd6\x96\xe5\n"; // "; 関門"
    // "[会場]", "名称=境"
    WriteFileText(path_, comment + "[\x89\xef\x8f\xea]\n\x96\xbc\x8f\xcc=\x8b\xab\n");
    EXPECT_EQ(ini_.ReadString("会場", "名称", {}), "境");
    EXPECT_EQ(ini_.ReadSection("会場"), (QList<QPair<QString, QString>>{{"名称", "境"}}));

    ini_.WriteString("会場", "名称", "正午");
    ini_.WriteString("大会", "日付", "2026/12/08");
    EXPECT_EQ(FileText(path_), comment + "[\x89\xef\x8f\xea]\n\x96\xbc\x8f\xcc=\x90\xb3\x8c\xdf\n"
                                         "[\x91\xe5\x89\xef]\n\x93\xfa\x95t=2026/12/08\n");

    WriteFileText(path_, "[会場]\n名称=境\n");
    ini_.WriteString("会場", "名称", "正午");
    EXPECT_EQ(FileText(path_), "[会場]\n名称=正午\n");
    EXPECT_EQ(ini_.ReadString("会場", "名称", {}), "正午");
}

} // namespace
