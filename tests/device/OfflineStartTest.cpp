// A workstation started while its race server does not answer: the timing window opens from
// the copy of the race it kept on the disk, the device's stamps and the bibs typed meanwhile
// wait in their journals, and all of them reach the server once it answers, each once and on
// the right runner. Without a copy the window still opens and keeps the stamps.
#include "DeviceWindowFixture.h"

#include "support/OperatorHands.h"
#include "support/PrivateServer.h"
#include "timing/StatusStrip.h"

#include <QLineEdit>

namespace {

class OfflineStart : public DeviceWindowFixture {
public:
    static void SetUpTestSuite() { EXPECT_TRUE(PrivateServer::Start()); }
    static void TearDownTestSuite() { PrivateServer::Finish(); }

protected:
    void SetUp() override {
        DeviceWindowFixture::SetUp();
        AddClass("M", 3);
        for (const QString& bib : NumberedBibs(1, 60))
            AddCompetitor(bib, "M", "09:00:00.0000");
    }

    // The program ends, the server stops, and the program starts again: its data module
    // unconnected, as when the source did not answer at start.
    void RestartWhileServerIsDown() {
        window.reset();
        dm.reset();
        ASSERT_TRUE(PrivateServer::Run("stop"));
        dm = std::make_unique<TDm1>(nullptr, db.Name(), TDm1::Opening::Later);
        OpenWindowWithCopies();
    }
    void ServerBack() {
        ASSERT_TRUE(PrivateServer::Run("start"));
        db.Reconnect();
    }
    QString DatabaseField() const {
        return Control<StatusStrip>("StatusStrip")->Shown(StatusStrip::Field::Database).text;
    }
    // Waits until the head of the panel is `time`, then types the bib as the operator does.
    void TypeWhenHeadIs(const QString& bib, const QString& time) {
        ASSERT_TRUE(Eventually([&] { return Control<QLineEdit>("Ed1")->text() == time; }))
            << qPrintable(bib + ": " + PanelTexts().join(' '));
        OperatorHands::Type(bib);
        OperatorHands::Press(Qt::Key_Return);
    }
    bool EverythingStored() const {
        return Eventually(
            [&] { return window->UnsentCount() == 0 && UnsavedText().isEmpty(); }, 60000);
    }
};

QString TimeOf(int second) {
    return QStringLiteral("10:%1:%2.0000")
        .arg(second / 60, 2, 10, QLatin1Char('0'))
        .arg(second % 60, 2, 10, QLatin1Char('0'));
}

TEST_F(OfflineStart, TheWindowOpensFromTheCopyAndEveryStampAndBibReachesTheServerOnce) {
    OpenWindowWithCopies();
    // Before the outage: two stamps, the first taken by 0001; the second is still pending.
    Send(StampLine(" ", 1, "C1", "10:00:00.0000") + StampLine(" ", 2, "C1", "10:00:01.0000"));
    TypeWhenHeadIs("1", "10:00:00.0000");
    ASSERT_TRUE(Eventually([&] { return PanelTexts().value(0) == "10:00:01.0000"; }));

    const QString readBefore = QTime::currentTime().toString("HH:mm");
    RestartWhileServerIsDown();
    const QString readAfter = QTime::currentTime().toString("HH:mm");
    EXPECT_EQ(window->windowTitle(), "R1  テスト大会");
    EXPECT_TRUE(DatabaseField().contains("オフライン（" + readBefore + " の控え）") ||
                DatabaseField().contains("オフライン（" + readAfter + " の控え）"))
        << qPrintable(DatabaseField());
    EXPECT_EQ(PanelTexts().value(0), "10:00:01.0000") << "the pending time the copy kept";

    // 100 stamps and 50 bibs while the server is away; the first bib takes the kept time.
    QByteArray lines;
    for (int k = 1; k <= 100; ++k)
        lines += StampLine(" ", 100 + k, "C1", TimeOf(60 + k).toLatin1().constData());
    Send(lines);
    ASSERT_TRUE(Eventually([&] { return UnsavedText() == "未保存 100 件"; }, 20000))
        << qPrintable(UnsavedText());
    window->activateWindow();
    TypeWhenHeadIs("2", "10:00:01.0000");
    for (int k = 1; k <= 49; ++k)
        TypeWhenHeadIs(QString::number(2 + k), TimeOf(60 + k));
    EXPECT_EQ(window->UnsentCount(), 50);

    ServerBack();
    ASSERT_TRUE(EverythingStored()) << qPrintable(DatabaseField());
    EXPECT_TRUE(Eventually([&] { return !DatabaseField().contains("オフライン"); }))
        << qPrintable(DatabaseField());
    EXPECT_EQ(db.Scalar("select count(*) from tdc_mid"), "102");
    EXPECT_EQ(db.Scalar("select count(distinct tm) from tdc_mid"), "102");
    EXPECT_EQ(db.Scalar("select count(*) from result where midfin1 <> ''"), "51");
    EXPECT_EQ(db.Scalar("select count(*) from midjyun"), "51");
    EXPECT_EQ(db.Scalar("select midfin1 from result where zek = '0001'"), "10:00:00.0000");
    EXPECT_EQ(db.Scalar("select midfin1 from result where zek = '0002'"), "10:00:01.0000");
    for (int k = 1; k <= 49; ++k)
        EXPECT_EQ(db.Scalar(QStringLiteral("select midfin1 from result where zek = '%1'")
                                .arg(2 + k, 4, 10, QLatin1Char('0'))),
                  TimeOf(60 + k));
    EXPECT_EQ(db.Scalar("select count(*) from tdc_mid where sumi = '0'"), "51");
    // Nothing was refused: what was said is the server's absence alone.
    for (const QString& line : Told())
        EXPECT_TRUE(line.contains("Can't connect")) << qPrintable(line);
}

TEST_F(OfflineStart, WithoutACopyTheStampsAreKeptForTheRaceInWorkAndBibsAreRefused) {
    ASSERT_TRUE(PrivateServer::Run("stop"));
    dm.reset();
    dm = std::make_unique<TDm1>(nullptr, db.Name(), TDm1::Opening::Later);
    OpenWindowWithCopies();
    EXPECT_EQ(window->windowTitle(), "レース不明（サーバー応答なし・控えなし）");
    EXPECT_TRUE(DatabaseField().contains("オフライン（控えなし）")) << qPrintable(DatabaseField());
    ASSERT_FALSE(Told().isEmpty());
    EXPECT_TRUE(Told().first().contains("レースの控えがありません"));

    Send(StampLine(" ", 1, "C1", "10:00:00.0000") + StampLine(" ", 2, "C1", "10:00:01.0000"));
    TypeWhenHeadIs("5", "10:00:00.0000");
    EXPECT_TRUE(Told().first().contains("レースの控えがないため記録できません"))
        << qPrintable(Told().join('\n'));
    EXPECT_EQ(window->UnsentCount(), 0);

    ServerBack();
    ASSERT_TRUE(EverythingStored());
    EXPECT_EQ(db.Rows("select tcode, tm, sumi from tdc_mid order by tm"),
              QList<QStringList>({{"R1", "10:00:00.0000", "0"}, {"R1", "10:00:01.0000", "0"}}));
    EXPECT_TRUE(Eventually([&] { return Told().first().contains("開き直してください"); }))
        << qPrintable(Told().join('\n'));
}

} // namespace
