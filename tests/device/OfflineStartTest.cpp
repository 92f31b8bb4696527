// A workstation started while its race server does not answer and without a copy of the race
// (the start from a copy is the headquarters test's): the window still opens, keeps the
// device's stamps for the race in work and refuses bibs until it is opened again.
#include "DeviceWindowFixture.h"

#include "support/OperatorHands.h"
#include "support/PrivateServer.h"
#include "timing/widgets/StatusStrip.h"

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
        AddCompetitor("0005", "M", "09:00:00.0000");
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
