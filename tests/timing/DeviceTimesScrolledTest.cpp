// The operator scrolls down the device-time grid with the mouse wheel while the device keeps
// sending: the grid never shows a stamp twice, never skips one, and a read of the lists keeps
// the rows scrolled to.
#include "tests/device/DeviceWindowFixture.h"

#include "support/OperatorHands.h"
#include "timing/widgets/TDBGrid.h"

#include <QAbstractItemModel>
#include <QScrollBar>

namespace {

class DeviceTimesScrolled : public DeviceWindowFixture {
protected:
    // The device's time of stamp n: a minute apart, so each is told apart by its time.
    static QByteArray Stamp(int n) {
        const QByteArray time = QStringLiteral("%1:%2:00.0000")
                                    .arg(9 + n / 60, 2, 10, QLatin1Char('0'))
                                    .arg(n % 60, 2, 10, QLatin1Char('0'))
                                    .toLatin1();
        return StampLine(" ", n, "C1", time.constData());
    }

    // The times the grid holds, top to bottom.
    QStringList Shown() const {
        const QAbstractItemModel* rows = Grid()->model();
        QStringList times;
        for (int row = 0; row < rows->rowCount(); ++row)
            times << rows->index(row, 0).data().toString().trimmed();
        return times;
    }

    // Every stamp stored from `newest` down to `oldest`, newest first.
    QStringList StoredBetween(const QString& newest, const QString& oldest) const {
        QStringList times;
        for (const QStringList& row : db.Rows("select tm from tdc_mid order by tm desc")) {
            if (row[0] <= newest && row[0] >= oldest)
                times << row[0];
        }
        return times;
    }

    TDBGrid* Grid() const { return Control<TDBGrid>("DBGrid1"); }
};

TEST_F(DeviceTimesScrolled, EveryStampShowsOnceWhileTheOperatorScrollsDownAndStampsArrive) {
    OpenWindow();
    int sent = 0;
    for (; sent < 60; ++sent)
        Send(Stamp(sent));
    ASSERT_TRUE(WaitForRows(sent));
    ASSERT_TRUE(Eventually([&] { return Shown().size() >= 24; })) << Shown().size();

    qsizetype held = 0;
    for (int step = 0; step < 12; ++step) {
        Send(Stamp(sent++));
        ASSERT_TRUE(WaitForRows(sent));
        OperatorHands::Wheel(Grid()->viewport(), 3);
        Settle();
        const QStringList shown = Shown();
        // Every stamp from the top row down to the last row scrolled to, once each; the
        // newest may wait for the next read.
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_EQ(shown, StoredBetween(shown.first(), shown.last())) << "step " << step;
        EXPECT_GE(shown.size(), held) << "rows scrolled to are gone after step " << step;
        held = shown.size();
    }
    const QString newest = StoredBetween("99", "").first();
    ASSERT_TRUE(Eventually([&] { return Shown().first() == newest; }));
    for (int turns = 0; turns < 20 && Shown().size() < sent; ++turns)
        OperatorHands::Wheel(Grid()->viewport(), 10);
    const QStringList shown = Shown();
    EXPECT_EQ(shown.size(), sent);
    EXPECT_EQ(shown, StoredBetween(newest, QString()));
    EXPECT_GT(Grid()->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(ShownErrors().isEmpty());
}

} // namespace
