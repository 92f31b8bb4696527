// What the 要確認 list holds is still there when the timing window opens again, until the
// operator clears it; a server that goes away is told once when it goes and once when it is
// back, while the strip keeps the last bib.
#include "support/OperatorHands.h"
#include "support/PrivateServer.h"
#include "timing/SplitFixture.h"

#include "timing/widgets/AttentionList.h"
#include "timing/widgets/StatusStrip.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace OperatorHands;

namespace {

class AttentionKept : public SplitFixture {
public:
    static void SetUpTestSuite() { EXPECT_TRUE(PrivateServer::Start()); }
    static void TearDownTestSuite() { PrivateServer::Finish(); }

protected:
    void SetUp() override {
        SplitFixture::SetUp();
        AddClassM({"0011", "0012"});
        AddStamp("10:20:00.0000", 0);
        OpenWindow();
    }
    void TypeToFocus(const QString& bib) {
        Type(bib);
        Press(Qt::Key_Return);
    }
    void Reopen() {
        window.reset();
        OpenWindow();
    }
    StripReading Action() const {
        return Control<StatusStrip>("StatusStrip")->Shown(StatusStrip::Field::Action);
    }
};

TEST_F(AttentionKept, TheListOutlivesTheWindowUntilCleared) {
    TypeToFocus("99");
    TypeToFocus("99");
    const QStringList told = Control<AttentionList>("AttentionList")->Lines();
    ASSERT_EQ(told.size(), 1);
    ASSERT_TRUE(told[0].endsWith("（2回）")) << qPrintable(told[0]);

    Reopen();
    EXPECT_EQ(Control<AttentionList>("AttentionList")->Lines(), told);
    // The same refusal again counts on the line it had.
    TypeToFocus("99");
    ASSERT_EQ(Told().size(), 1);
    EXPECT_TRUE(Told()[0].endsWith("（3回）")) << qPrintable(Told()[0]);

    Click(Control<AttentionList>("AttentionList")->ClearButton());
    Reopen();
    EXPECT_EQ(Told(), QStringList());
}

TEST_F(AttentionKept, AnOutageIsToldWhenItBeginsAndWhenItEndsAndTheLastBibStays) {
    TypeToFocus("11");
    const StripReading recorded = Action();
    ASSERT_TRUE(recorded.text.startsWith("0011")) << qPrintable(recorded.text);

    ASSERT_TRUE(PrivateServer::Run("stop"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Told().isEmpty(); }, 15000));
    // Several reads of the lists fail meanwhile.
    QTest::qWait(7000);
    EXPECT_EQ(Told().size(), 1) << qPrintable(Told().join('\n'));
    EXPECT_FALSE(Told().join(' ').contains("回）")) << qPrintable(Told().join('\n'));
    EXPECT_EQ(Action().text, recorded.text);
    EXPECT_EQ(Action().colour, recorded.colour);

    ASSERT_TRUE(PrivateServer::Run("start"));
    db.Reconnect();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Told().size() == 2; }, 20000))
        << qPrintable(Told().join('\n'));
    QTest::qWait(3000);
    EXPECT_EQ(Told().size(), 2) << qPrintable(Told().join('\n'));
    EXPECT_EQ(Action().text, recorded.text);
    // The bib box still takes the next runner.
    AddStamp("10:21:00.0000", 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return PanelTexts().contains("10:21:00.0000"); }, 10000));
    TypeToFocus("12");
    // The writer's connection, dropped by the restart, is mended without a word.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Result("0012", "midfin1") == QStringList({"10:21:00.0000"}); }, 10000));
    EXPECT_EQ(Told().size(), 2) << qPrintable(Told().join('\n'));
}

} // namespace
