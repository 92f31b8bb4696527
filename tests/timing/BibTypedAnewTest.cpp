// Enter needs a bib typed anew: after bib + Enter the box still shows that bib, and Enter alone
// (or a key that is no digit, then Enter) at the next stamp records nothing and says why; the
// same bib typed again is a new entry.
#include "SplitFixture.h"
#include "support/OperatorHands.h"
#include "support/RelayRace.h"

#include "timing/widgets/StatusStrip.h"

#include <QLineEdit>

using namespace OperatorHands;

namespace {

QString NotTypedAnew(const QString& noun, const QString& key, const QString& shown,
                     const QString& done = QStringLiteral("記録済み")) {
    return QStringLiteral("%1を入力してから %2 を押してください（%3 は%4です）。")
        .arg(noun, key, shown, done);
}

class BibTypedAnew : public SplitFixture {
protected:
    QString StripSays() const {
        return Control<StatusStrip>("StatusStrip")->Shown(StatusStrip::Field::Action).text;
    }
};

TEST_F(BibTypedAnew, EnterAloneOnTheBibJustRecordedTakesNoTimeAndTwoZerosDiscardTwo) {
    AddClassM({"9490"}, "16:00:00.0000");
    for (const char* tm :
         {"16:20:00.0000", "16:26:00.0000", "16:27:00.0000", "16:28:00.0000", "16:29:00.0000"})
        AddStamp(tm, db.Scalar("select count(*) from tdc_mid").toInt());
    OpenWindow();
    SetMinimumMinutes("0"); // a quiet split point: the minimum stops nothing

    Type("9490");
    Press(Qt::Key_Return);
    ASSERT_EQ(Result("9490", "midfin1"), QStringList({"16:20:00.0000"}));
    Press(Qt::Key_Return);
    Type("a");
    Press(Qt::Key_Return);
    Press(Qt::Key_Space);
    EXPECT_EQ(Result("9490", "midfin2"), QStringList({""}));
    EXPECT_EQ(States(), QStringList({"1", "0", "0", "0", "0"}));
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "16:26:00.0000");
    EXPECT_EQ(Told(), QStringList({NotTypedAnew("ビブNo.", "Space", "9490"),
                                   NotTypedAnew("ビブNo.", "Enter", "9490") + "（2回）"}));
    EXPECT_TRUE(StripSays().contains(NotTypedAnew("ビブNo.", "Space", "9490")))
        << qPrintable(StripSays());

    Type("9490"); // the same bib typed again: taken
    Press(Qt::Key_Return);
    EXPECT_EQ(Result("9490", "midfin2"), QStringList({"16:26:00.0000"}));

    Type("0");
    Press(Qt::Key_Return);
    Type("0");
    Press(Qt::Key_Return);
    Press(Qt::Key_Return); // a third Enter discards no one's time
    EXPECT_EQ(States(), QStringList({"1", "1", "2", "2", "0"}));
    EXPECT_EQ(Told().value(0), NotTypedAnew("ビブNo.", "Enter", "0", "処理済み"));
    Type("9490");
    Press(Qt::Key_Return);
    EXPECT_EQ(Result("9490", "midfin3"), QStringList({"16:29:00.0000"}));
}

TEST_F(BibTypedAnew, EnterAloneOnTheTeamJustRecordedFinishesNoLeg) {
    db.Exec("update tiki set syumoku = '10'");
    const RelayRace race(db);
    race.AddClass("R", 4);
    race.AddTeam("0101", "R", "10:00:00.0000");
    AddStamp("10:15:00.0000", 0);
    AddStamp("10:30:00.0000", 1);
    OpenWindow();
    SetMinimumMinutes("0", "RelayMinutes");
    Type("101");
    Press(Qt::Key_Return);
    Press(Qt::Key_Return);
    EXPECT_EQ(race.Leg("0101", 2).value(1), "");
    EXPECT_EQ(Told(), QStringList({NotTypedAnew("チームNo.", "Enter", "0101")}));
    Type("101");
    Press(Qt::Key_Return);
    EXPECT_EQ(race.Leg("0101", 1).value(1), "10:15:00.0000");
    EXPECT_EQ(race.Leg("0101", 2).value(1), "10:30:00.0000");
}

} // namespace
