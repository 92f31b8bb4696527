// The passing log on the lap page: each passing under the bib typed for it, while the log's
// table keeps the three-character form other programs read.
#include "SplitFixture.h"

#include "support/OperatorHands.h"
#include "timing/widgets/TDBGrid.h"

#include <QLineEdit>

namespace {

class PassingLog : public SplitFixture {
protected:
    QStringList ShownBibs() const {
        const QAbstractItemModel* shown = Control<TDBGrid>("DBGrid3")->model();
        QStringList bibs;
        for (int row = 0; row < shown->rowCount(); ++row)
            bibs << shown->data(shown->index(row, 0)).toString();
        return bibs;
    }
};

TEST_F(PassingLog, ShowsEachPassingsWholeBibThoughTheLogKeepsThreeCharacters) {
    AddClassM({"2017", "1001", "0001"});
    AddStamp("10:10:00.0000", 0);
    AddStamp("10:11:00.0000", 1);
    AddStamp("10:12:00.0000", 2);
    AddStamp("10:20:00.0000", 3);
    OpenWindow();
    SetMinimumMinutes("5");
    for (const char* bib : {"2017", "1001", "1", "1001"})
        TypeBib(Control<QLineEdit>("Edit5"), bib);

    EXPECT_EQ(db.Rows("select bib from midjyun order by tod"),
              QList<QStringList>({{"017"}, {"001"}, {"001"}, {"001"}}));
    EXPECT_EQ(ShownBibs(), QStringList({"1001", "0001", "1001", "2017"})); // newest first

    // A passing taken back leaves the others as they were.
    CancelTopSplit();
    EXPECT_EQ(ShownBibs(), QStringList({"0001", "1001", "2017"}));
}

} // namespace
