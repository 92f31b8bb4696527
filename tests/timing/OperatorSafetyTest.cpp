// What an operator under race pressure does to the window: whatever was touched last, the next
// digits go to the bib box; every action of a page can be taken back, newest first, and the
// history says so. (The relay page takes back its own too: the relay replay.)
#include "support/OperatorHands.h"
#include "support/RelayRace.h"
#include "timing/SplitFixture.h"

#include "controls/CuteBtn.h"
#include "timing/widgets/AttentionList.h"
#include "timing/widgets/StatusStrip.h"
#include "timing/widgets/TDBGrid.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace OperatorHands;

namespace {

class OperatorSafety : public SplitFixture {
protected:
    QPoint RowCentre(TDBGrid* grid, int row) const {
        return grid->visualRect(grid->model()->index(row, 0)).center();
    }
    // Types the bib to whatever has the focus, then Enter, as a volunteer does.
    void TypeToFocus(const QString& bib) {
        Type(bib);
        Press(Qt::Key_Return);
    }
    QString Action() const {
        return Control<StatusStrip>("StatusStrip")->Shown(StatusStrip::Field::Action).text;
    }
    // The history page looked at, and the lap page chosen again.
    QStringList HistoryStates() const {
        QTabBar* tabs = Control<QTabWidget>("PageControl1")->tabBar();
        ClickAt(tabs, tabs->tabRect(3).center());
        const QTreeWidget* history = Control<QTreeWidget>("HistoryList");
        QStringList states;
        for (int row = 0; row < history->topLevelItemCount(); ++row)
            states << history->topLevelItem(row)->text(4);
        ClickAt(tabs, tabs->tabRect(0).center());
        return states;
    }
};

TEST_F(OperatorSafety, DigitsGoToTheBibBoxWhateverTheOperatorTouchedLast) {
    QStringList bibs;
    for (int k = 1; k <= 10; ++k)
        bibs << QStringLiteral("00%1").arg(10 + k);
    AddClassM(bibs);
    for (int k = 0; k < 12; ++k)
        AddStamp(QStringLiteral("10:%1:00.0000").arg(10 + k), k);
    OpenWindow();
    TypeToFocus("11");
    TypeToFocus("12");
    TDBGrid* devices = Control<TDBGrid>("DBGrid1");

    // A cancel: right click on the split list, "取り消し", はい; then at once the next bib.
    CancelTopSplit();
    EXPECT_EQ(Result("0012", "midfin1"), QStringList({""}));
    TypeToFocus("13");
    // The next time: the cancelled one waits for the operator's hand.
    EXPECT_EQ(Result("0013", "midfin1"), QStringList({"10:12:00.0000"}));

    // A double click on the passing log, a click on the device times, on the panel, on a
    // split button, on the 要確認 list's button; an answered hand assignment.
    TDBGrid* passings = Control<TDBGrid>("DBGrid3");
    DoubleClickAt(passings->viewport(), RowCentre(passings, 0));
    TypeToFocus("14");
    ClickAt(devices->viewport(), RowCentre(devices, 2));
    TypeToFocus("15");
    Click(Control<QLineEdit>("Ed3"));
    TypeToFocus("16");
    Click(Control<TCuteButton>("CuteButton3"));
    TypeToFocus("17");
    Click(Control<AttentionList>("AttentionList")->ClearButton());
    TypeToFocus("18");
    Control<QLineEdit>("Edit1")->setText("19");
    ClickAt(devices->viewport(), RowCentre(devices, 4)); // 10:17, newest first
    answers.AnswerWithKey(Qt::Key_Return);
    ClickAt(devices->viewport(), RowCentre(devices, 4), Qt::RightButton);
    EXPECT_EQ(Result("0019", "midfin1"), QStringList({"10:17:00.0000"}));
    TypeToFocus("99"); // a refusal, then the next bib right away
    TypeToFocus("20");
    EXPECT_EQ(Told(), QStringList({"ビブNo.0099 は登録されていません。"}));
    QStringList passed;
    for (int k = 3; k <= 8; ++k)
        passed << Result(QStringLiteral("00%1").arg(10 + k), "midfin1").value(0);
    EXPECT_EQ(passed, QStringList({"10:12:00.0000", "10:13:00.0000", "10:14:00.0000",
                                   "10:15:00.0000", "10:16:00.0000", "10:17:00.0000"}));
    EXPECT_EQ(Result("0020", "midfin1"), QStringList({"10:18:00.0000"}));

    // A box chosen on purpose keeps its digits.
    QLineEdit* gapBox = Control<QLineEdit>("Eddf12");
    const QString gap = gapBox->text();
    Click(gapBox);
    Type("5");
    EXPECT_EQ(gapBox->text().size(), gap.size() + 1);
    EXPECT_EQ(Control<QLineEdit>("Edit5")->text(), "0020");
}

TEST_F(OperatorSafety, RelayPageDigitsGoToTheTeamBoxAfterGridsButtonsAndQuestions) {
    db.Exec("update tiki set syumoku = '10'");
    RelayRace race{db};
    race.AddClass("R", 4);
    for (const QString zek : {"0101", "0102", "0103", "0104"})
        race.AddTeam(zek, "R", "10:00:00.0000");
    for (int k = 0; k < 4; ++k)
        AddStamp(QStringLiteral("10:%1:00.0000").arg(20 + k), k);
    OpenWindow();
    ClickAt(Control<TDBGrid>("DBGrid6")->viewport(), QPoint(10, 10));
    TypeToFocus("101");
    Click(Control<TCuteButton>("CtBR2"));
    TypeToFocus("102");
    Click(Control<QCheckBox>("CkBLast"));
    TypeToFocus("103");
    answers.Answer(QMessageBox::No);
    Click(Control<QPushButton>("Button3"));
    TypeToFocus("104");
    QStringList finishes;
    for (const QString zek : {"0101", "0102", "0103", "0104"})
        finishes << race.Leg(zek, 1).value(1);
    EXPECT_EQ(finishes,
              QStringList({"10:20:00.0000", "10:21:00.0000", "10:22:00.0000", "10:23:00.0000"}));
}

// Ctrl+Z and "元に戻す" take back the page's actions newest first: a cancel, a discard, a
// split; the strip and the history say what was undone. The relay page keeps its own.
TEST_F(OperatorSafety, EachPageTakesBackItsOwnActionsNewestFirst) {
    AddClassM({"0012", "0013"});
    for (int k = 0; k < 3; ++k)
        AddStamp(QStringLiteral("10:1%1:00.0000").arg(k), k);
    OpenWindow();
    const QList<QStringList> start = db.Rows("select * from result order by zek");
    TypeToFocus("12");
    TypeToFocus("13");
    const QList<QStringList> twoSplits = db.Rows("select * from result order by zek");
    TypeToFocus("0");
    EXPECT_EQ(Action(), "破棄 10:12:00.0");
    TDBGrid* splits = Control<TDBGrid>("DBGrid2");
    ClickAt(splits->viewport(), RowCentre(splits, 0)); // 0013, the latest
    answers.Answer(QMessageBox::Yes);
    Control<QAction>("N1")->trigger();
    Settle();
    EXPECT_EQ(Result("0013", "midfin1"), QStringList({""}));
    EXPECT_EQ(States(), QStringList({"1", "3", "2"}));

    Press(Qt::Key_Z); // a plain z is no digit: nothing
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(db.Rows("select * from result order by zek"), twoSplits);
    EXPECT_EQ(Action(), "元に戻しました: 0013 取消 中間1 10:11:00.0000");
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(States(), QStringList({"1", "1", "0"}));
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "10:12:00.0000");
    Click(Control<QPushButton>("BtnUndo1"));
    Click(Control<QPushButton>("BtnUndo1"));
    EXPECT_EQ(db.Rows("select * from result order by zek"), start);
    EXPECT_EQ(States(), QStringList({"0", "0", "0"}));
    EXPECT_EQ(db.Scalar("select count(*) from midjyun"), "0");
    // Newest first: the four undos, then the four actions they took back.
    EXPECT_EQ(HistoryStates(), QStringList(4, "") + QStringList(4, "取り消し済み"));
    Click(Control<QPushButton>("BtnUndo1"));
    EXPECT_EQ(Told(), QStringList({"周回計測で元に戻せる操作はありません。",
                                   "戻ったタイム 10:11:00.0（0013 から）"}));
    TypeToFocus("12"); // the box is ready for the next bib
    EXPECT_EQ(Result("0012", "midfin1"), QStringList({"10:10:00.0000"}));
}

} // namespace
