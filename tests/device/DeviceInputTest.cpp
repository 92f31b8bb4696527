// Device input in the real window: lines from a pseudo-terminal through the serial component
// into tdc_mid and the pending-time panel; framing after noise and a lost line; the port
// choice; closing while stamps arrive.
#include "DeviceWindowFixture.h"

#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "serial/PortNames.h"
#include "timing/widgets/StatusStrip.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRandomGenerator>

namespace {

const QString PortRefused =
    QStringLiteral("取込ポートに指定したポートは使えません。"
                   "正しいポートを指定しないとタイムを取り込めません。");

class DeviceInput : public DeviceWindowFixture {
protected:
    QStringList MemoLines(const QString& memo) const {
        return Control<QPlainTextEdit>(memo)->toPlainText().split('\n');
    }
    QStringList Memo1Lines() const { return MemoLines("Memo1"); }
    QStringList Memo3Lines() const { return MemoLines("Memo3"); }
    QComboBox* Ports() const { return Control<QComboBox>("Cbxcomm1"); }
    const TCommX* Port() const { return Control<TCommX>("CommX1"); }
    void Choose(int index) {
        Ports()->setCurrentIndex(index);
        emit Ports()->activated(index);
    }
};

TEST_F(DeviceInput, AStampIsStoredInItsColumnsAndShownAtOnce) {
    OpenWindow();
    Send(" 0012 C1  12:34:56.7890 00 and more\r");
    Send(" 0'07 C1  23:59:59.99   00\r"); // two decimals, an apostrophe in the bib
    ASSERT_TRUE(WaitForRows(2));
    EXPECT_EQ(StoredRows(),
              QList<QStringList>(
                  {{" 0012 C1  12:34:56.7890 00", "0012", "C1", "12:34:56.7890", " ", "0"},
                   {" 0'07 C1  23:59:59.99   00", "0'07", "C1", "23:59:59.9900", " ", "0"}}));
    EXPECT_TRUE(Eventually([&] { return Control<QLineEdit>("Ed2")->text() == "23:59:59.9900"; }));
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "12:34:56.7890");
    EXPECT_EQ(Control<QLineEdit>("Eddf12")->text().trimmed(), "11:25:03.2");
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 2");
    EXPECT_EQ(Memo3Lines().first(), " 0012 C1  12:34:56.7890 00 and more");
    EXPECT_TRUE(Eventually([&] { return UnsavedText().isEmpty(); })) << qPrintable(UnsavedText());
    EXPECT_TRUE(answers.Texts().isEmpty());
    EXPECT_TRUE(ShownErrors().isEmpty());
}

TEST_F(DeviceInput, OnlyStampLinesOfC1AreTakenAndLowerCaseCIsNeverOffered) {
    OpenWindow();
    Send(StampLine(" ", 1, "C0", "08:53:39.4922") + StampLine("x", 2, "C1", "08:53:40.0000") +
         StampLine("C", 3, "C1", "08:53:41.0000") + StampLine("c", 4, "C1", "11:02:00.3564") +
         "?0034 C1  09:06:42\r" + StampLine("?", 5, "C1", "09:06:42.7183"));
    ASSERT_TRUE(WaitForRows(2));
    ASSERT_TRUE(Eventually([&] { return Control<QLineEdit>("Ed1")->text() == "09:06:42.7183"; }));
    EXPECT_EQ(db.Rows("select tstat, bib from tdc_mid order by id"),
              QList<QStringList>({{"c", "0004"}, {"?", "0005"}}));
    EXPECT_EQ(Control<QLineEdit>("Ed2")->text(), QString());
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 1");
    // Every line shows as received; the accepted ones, the short one too, in Memo3.
    EXPECT_EQ(Memo1Lines().size(), 7);
    EXPECT_EQ(Memo1Lines()[1], "x0002 C1  08:53:40.0000 00");
    EXPECT_EQ(Memo3Lines(), QStringList({"c0004 C1  11:02:00.3564 00", "?0034 C1  09:06:42",
                                         "?0005 C1  09:06:42.7183 00"}));
}

TEST_F(DeviceInput, LinesSplitOverEventsOrJoinedInOneAreStoredInOrder) {
    OpenWindow();
    Send(" 0001 C1  10:");
    ASSERT_TRUE(Eventually(
        [&] { return Control<QPlainTextEdit>("Memo1")->toPlainText() == " 0001 C1  10:"; }));
    Send("00:01.0000 00\r" + StampLine(" ", 2, "C1", "10:00:02.0000") +
         StampLine(" ", 3, "C1", "10:00:03.0000"));
    ASSERT_TRUE(WaitForRows(3));
    EXPECT_EQ(
        db.Rows("select bib, tm from tdc_mid order by dt, id"),
        QList<QStringList>(
            {{"0001", "10:00:01.0000"}, {"0002", "10:00:02.0000"}, {"0003", "10:00:03.0000"}}));
    EXPECT_TRUE(Eventually([&] { return Control<QLineEdit>("Ed3")->text() == "10:00:03.0000"; }));
}

TEST_F(DeviceInput, BadBytesAreShownVisiblyAndNeitherStallNorCorruptTheLine) {
    OpenWindow();
    // NUL, a control byte and a high byte inside a stamp line; a line feed inside another.
    Send(QByteArray(" 0\x00\x01\xff C1  10:00:01.0000 00\r", 27));
    Send(" 0002 C1 \n 10:00:02.0000 00\r");
    // A line that never ends, then one that does.
    Send(QByteArray(20000, 'z'));
    Send("\r" + StampLine(" ", 3, "C1", "10:00:03.0000"));
    ASSERT_TRUE(WaitForRows(3));
    EXPECT_EQ(db.Rows("select getstr, bib from tdc_mid order by id"),
              QList<QStringList>({{" 0??? C1  10:00:01.0000 00", "0???"},
                                  {" 0002 C1  10:00:02.0000 00", "0002"},
                                  {" 0003 C1  10:00:03.0000 00", "0003"}}));
    const QStringList shown = Memo1Lines();
    EXPECT_EQ(shown[0], QStringLiteral(" 0␀␁\uFFFD C1  10:00:01.0000 00"));
    EXPECT_EQ(shown[1], QStringLiteral(" 0002 C1 ␊ 10:00:02.0000 00"));
    EXPECT_EQ(shown[2], QString(256, 'z') + QStringLiteral("…"));
    EXPECT_LE(Control<QPlainTextEdit>("Memo1")->blockCount(), 30);
}

TEST_F(DeviceInput, NoiseHalfLinesAndBadTimesNeverBecomePendingTimesNorCostALine) {
    OpenWindow();
    QByteArray noise(1 << 20, '\0');
    QRandomGenerator(13).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    Send(noise + StampLine(" ", 1, "C1", "10:00:01.0000"));
    Send(QByteArray(3, '\0') + StampLine(" ", 2, "C1", "10:00:02.0000"));
    Send("\x11" + StampLine(" ", 3, "C1", "10:00:03.0000"));
    Send(" 0099 C1  9999999999999 00\r 0098 C1  10:?00:00.000 00\r");
    // The line goes away in the middle of a line; the port opened again starts clean.
    Send(" 0004 C1  10:0");
    // What the line carried is read before it goes away.
    ASSERT_TRUE(Eventually([&] { return Memo1Lines().last() == " 0004 C1  10:0"; }, 20000));
    pty.CloseMaster();
    ASSERT_TRUE(Eventually([&] { return !Told().isEmpty(); }));
    PtyPair again;
    SetPortPathOverride(kPort, again.SlavePath());
    Choose(Ports()->findText("COM200"));
    again.Send(StampLine(" ", 4, "C1", "10:00:04.0000") + StampLine(" ", 5, "C1", "10:00:05.0000"));

    ASSERT_TRUE(WaitForRows(5));
    QTest::qWait(200);
    EXPECT_EQ(db.Rows("select bib from tdc_mid order by dt, id"),
              QList<QStringList>({{"0001"}, {"0002"}, {"0003"}, {"0004"}, {"0005"}}));
    EXPECT_TRUE(Memo3Lines().contains(" 0099 C1  9999999999999 00  ← 時刻が不正: 保存せず"));
    // Both bad times are counted where the operator of the lap page sees them.
    const QString device =
        Control<StatusStrip>("StatusStrip")->Shown(StatusStrip::Field::Device).text;
    EXPECT_TRUE(device.endsWith("時刻不正 2 行")) << device.toStdString();
    EXPECT_TRUE(Eventually([&] { return Control<QLineEdit>("Ed5")->text() == "10:00:05.0000"; }));
}

TEST_F(DeviceInput, ClosingWithinAMinuteOfALineAsksFirstNamingThePort) {
    OpenWindow();
    Send(StampLine(" ", 1, "C1", "10:00:01.0000"));
    ASSERT_TRUE(WaitForRows(1));
    answers.Answer(QMessageBox::No);
    Control<TCuteButton>("CuteButton")->Click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_NE(Port()->Handle(), TCommX::InvalidHandle);
    ASSERT_EQ(answers.Texts().size(), 1);
    EXPECT_TRUE(answers.LastText().contains("COM200"));
    EXPECT_TRUE(answers.LastText().contains("取り込まれません"));

    answers.Answer(QMessageBox::Yes);
    window->close(); // the close box
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Port()->Handle(), TCommX::InvalidHandle);
    EXPECT_EQ(answers.Texts().size(), 2);
}

TEST_F(DeviceInput, ThePortListOffersThePresentPortsAndOpensTheSavedOne) {
    OpenWindow();
    EXPECT_EQ(Ports()->itemText(0), QString());
    EXPECT_EQ(Ports()->currentText(), "COM200");
    EXPECT_NE(Port()->Handle(), TCommX::InvalidHandle);
    EXPECT_EQ(Port()->BitRate(), 2400);
    EXPECT_TRUE(answers.Texts().isEmpty());
}

TEST_F(DeviceInput, TheEmptyEntryClosesThePortAndTheNextWindowOpensNone) {
    OpenWindow();
    Choose(0);
    EXPECT_EQ(Port()->Handle(), TCommX::InvalidHandle);
    EXPECT_EQ(uComm::DevicePortNo, 0);
    OpenWindow();
    EXPECT_EQ(Port()->Handle(), TCommX::InvalidHandle);
    EXPECT_EQ(Ports()->currentIndex(), 0);
}

TEST_F(DeviceInput, ChoosingAPortOpensItEvenPastTwoDigits) {
    uComm::DevicePortNo = 0;
    OpenWindow();
    Choose(Ports()->findText("COM200"));
    EXPECT_EQ(uComm::DevicePortNo, 200);
    EXPECT_NE(Port()->Handle(), TCommX::InvalidHandle);
    Send(StampLine(" ", 1, "C1", "10:00:01.0000"));
    EXPECT_TRUE(WaitForRows(1));
}

TEST_F(DeviceInput, AnUnavailablePortIsRefusedWithTheMessageAndTheChoiceUndone) {
    // Present (its path exists) but no serial port.
    QFile notAPort(dataHome.filePath("not-a-port"));
    ASSERT_TRUE(notAPort.open(QIODevice::WriteOnly));
    SetPortPathOverride(201, notAPort.fileName());
    OpenWindow();
    Choose(Ports()->findText("COM201"));
    EXPECT_EQ(Told(), QStringList({PortRefused}));
    EXPECT_TRUE(answers.Texts().isEmpty()); // no box that would take the next bib
    EXPECT_EQ(uComm::DevicePortNo, 0);
    EXPECT_EQ(Ports()->currentIndex(), 0);
    EXPECT_EQ(Port()->Handle(), TCommX::InvalidHandle);

    // A saved port whose device is gone by the next opening is kept and waited for.
    uComm::DevicePortNo = 202;
    OpenWindow();
    EXPECT_EQ(Told(), QStringList({"取込ポート COM202 の機器が見つかりません。"
                                   "機器がつながると自動で取り込みを始めます。"}));
    EXPECT_EQ(uComm::DevicePortNo, 202);
    EXPECT_EQ(Ports()->currentText(), "COM202");
}

TEST_F(DeviceInput, ALineThatGoesAwayIsSaidOnceAndThePortClosed) {
    OpenWindow();
    Send(StampLine(" ", 12, "C1", "12:34:56.7890"));
    ASSERT_TRUE(WaitForRows(1));
    pty.CloseMaster();
    ASSERT_TRUE(Eventually([&] { return !Told().isEmpty(); }));
    EXPECT_TRUE(Told().first().startsWith("取込ポート COM200 との接続が切れました。"));
    EXPECT_EQ(Port()->Handle(), TCommX::InvalidHandle);
    QTest::qWait(300);
    EXPECT_EQ(Told().size(), 1);
    EXPECT_TRUE(answers.Texts().isEmpty()); // no box that would take the next bib
    EXPECT_EQ(uComm::DevicePortNo, kPort);  // the next start tries the same port again
}

TEST_F(DeviceInput, TheCloseButtonClosesThePort) {
    OpenWindow();
    Control<TCuteButton>("CuteButton")->Click();
    EXPECT_EQ(Port()->Handle(), TCommX::InvalidHandle);
    EXPECT_FALSE(window->isVisible());
}

} // namespace
