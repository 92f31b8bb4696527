// Corrections in the real window against the real server: cancelling a split, assigning a
// device time by hand, picking a bib, clearing every split, closing.
#include "SplitFixture.h"

#include "controls/CuteBtn.h"
#include "data/actions/PendingTimeMark.h"
#include "timing/widgets/StatusStrip.h"
#include "timing/widgets/TDBGrid.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString Confirm = QStringLiteral("実行してよろしいですか？");

class Corrections : public SplitFixture {
protected:
    // Bib 0123 with splits 1 and 2; split 2's time came from two stamps of the same time.
    void AddTwoSplits() {
        AddClassM({"0123", "0124"});
        db.Exec("update result set midtime1 = '   10:00.0', midfin1 = '10:10:00.0000',"
                " midtime2 = '   20:00.0', midfin2 = '10:20:00.0000', midst2 = '10:00:00.0000'"
                " where zek = '0123'");
        db.Exec("insert into midjyun (tcode,bib,mtime,tod) values"
                " ('R1','123','   10:00.0','10:10:00.0000'),"
                " ('R1','123','   20:00.0','10:20:00.0000')");
        AddStamp("10:10:00.0000", 0);
        AddStamp("10:20:00.0000", 1);
        AddStamp("10:20:00.0000", 2);
        db.Exec("update tdc_mid set sumi = '1'");
    }
    void ClickRow(TDBGrid* grid, int row, bool twice = false) {
        const QPoint at = grid->visualRect(grid->model()->index(row, 0)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        // A widget's double click is the second press alone: the first comes before it.
        if (twice)
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
    // A right click's context-menu request on a row of the grid.
    void RequestMenu(TDBGrid* grid, int row) {
        ClickRow(grid, row);
        const QPoint at = grid->visualRect(grid->model()->index(row, 0)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid->viewport(), &event);
        Settle();
    }
    // The row of the device-time grid (newest first) whose id is given.
    int DeviceRow(int id) const {
        return db.Scalar(QStringLiteral("select count(*) from tdc_mid where id > %1").arg(id))
            .toInt();
    }
};

TEST_F(Corrections, CancelClearsTheSplitOnShowAndGivesItsStampsBack) {
    AddTwoSplits();
    OpenWindow();
    Control<TCuteButton>("CuteButton2")->Click();
    Settle();
    ClickRow(Control<TDBGrid>("DBGrid2"), 0); // 0123, the latest passing at split 2
    answers.Answer(QMessageBox::Yes);
    Control<QAction>("N1")->trigger();
    Settle();

    EXPECT_EQ(answers.Captions(), QStringList({Confirm}));
    EXPECT_EQ(answers.Texts(),
              QStringList({"ビブNo.0123 のフィニッシュタイム 10:20:00.0000を取り消しします。"}));
    EXPECT_EQ(Row("select midtime1, midfin1, midtime2, midfin2, midst2 from result"
                  " where zek = '0123'"),
              QStringList({"   10:00.0", "10:10:00.0000", "", "", "10:00:00.0000"}));
    EXPECT_EQ(db.Rows("select tod from midjyun"), QList<QStringList>({{"10:10:00.0000"}}));
    EXPECT_EQ(States(), QStringList({"1", StampGivenBack, StampGivenBack}));
    const QString statements = Control<QPlainTextEdit>("Memo2")->toPlainText();
    EXPECT_EQ(statements, "update result set midfin2 = '',midtime2 = ''\n"
                          "where tcode = 'R1' and zek = '0123' and BINARY "
                          "midfin2 = '10:20:00.0000'\n"
                          "delete from midjyun\n"
                          "where tcode = 'R1'\n"
                          "and bib = '123' and tod = '10:20:00.0000'\n"
                          "update tdc_mid set sumi = '3'\n"
                          "where tcode = 'R1'\n"
                          "and tm = '10:20:00.0000'")
        << qPrintable(statements);
    // Given back, not pending: the next bib does not get it.
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 0");
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "");
    EXPECT_EQ(dm->Qmidtime2.RecordCount(), 1);
}

TEST_F(Corrections, CancelFindsTheRowsByTheKeyTheSplitWasWrittenUnder) {
    // Registered bibs as the suite keeps them: "12" for zek 0012, and another competitor
    // with no registered bib at all.
    AddClassM({"0012", "0013"});
    db.Exec("update result set bib = '12' where zek = '0012'");
    db.Exec("update result set bib = '' where zek = '0013'");
    AddStamp("10:10:00.0000", 0);
    AddStamp("10:11:00.0000", 1);
    OpenWindow();
    TypeBib(Control<QLineEdit>("Edit5"), "12");
    TypeBib(Control<QLineEdit>("Edit5"), "13");
    ClickRow(Control<TDBGrid>("DBGrid2"), 1); // 0012, passed before 0013
    answers.Answer(QMessageBox::Yes);
    Control<QAction>("N1")->trigger();
    Settle();
    EXPECT_EQ(answers.LastText(), "ビブNo.12 のフィニッシュタイム 10:10:00.0000を取り消しします。");
    EXPECT_EQ(Result("0012", "midtime1, midfin1"), QStringList({"", ""}));
    EXPECT_EQ(Result("0013", "midfin1"), QStringList({"10:11:00.0000"})); // untouched
    EXPECT_EQ(db.Rows("select bib, tod from midjyun"),
              QList<QStringList>({{"013", "10:11:00.0000"}}));
    EXPECT_EQ(States(), QStringList({StampGivenBack, "1"}));
}

TEST_F(Corrections, CancelAnsweredNoChangesNothing) {
    AddTwoSplits();
    OpenWindow();
    ClickRow(Control<TDBGrid>("DBGrid2"), 0);
    answers.Answer(QMessageBox::No);
    Control<QAction>("N1")->trigger();
    Settle();
    EXPECT_EQ(answers.Texts(),
              QStringList({"ビブNo.0123 のフィニッシュタイム 10:10:00.0000を取り消しします。"}));
    EXPECT_EQ(Row("select midfin1 from result where zek = '0123'"), QStringList({"10:10:00.0000"}));
    EXPECT_EQ(db.Rows("select tod from midjyun").size(), 2);
    EXPECT_EQ(States(), QStringList({"1", "1", "1"}));
    EXPECT_TRUE(Control<QPlainTextEdit>("Memo2")->toPlainText().isEmpty());
}

TEST_F(Corrections, TheSplitListsContextMenuOffersTheCancel) {
    OpenWindow();
    emit Control<TDBGrid>("DBGrid2")->customContextMenuRequested(QPoint(10, 10));
    QMenu* menu = Control<QMenu>("PopupMenu2");
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->actions(), QList<QAction*>({Control<QAction>("N1")}));
    menu->close();
}

TEST_F(Corrections, RightClickOnADeviceTimeAssignsItToTheBibInTheBox) {
    AddTwoSplits();
    AddStamp("10:12:34.5678", 3);
    OpenWindow();
    Control<QLineEdit>("Edit1")->setText("124");
    answers.Answer(QMessageBox::Yes);
    RequestMenu(Control<TDBGrid>("DBGrid1"), DeviceRow(4));

    EXPECT_EQ(answers.Captions(), QStringList({Confirm}));
    EXPECT_EQ(answers.Texts(),
              QStringList({"ビブNo.0124 のフィニッシュタイムに 10:12:34.5678 を採用します。"}));
    EXPECT_EQ(Control<QLineEdit>("Edit1")->text(), "0124");
    EXPECT_EQ(Row("select midtime1, midfin1 from result where zek = '0124'"),
              QStringList({"   12:34.5", "10:12:34.5678"}));
    EXPECT_EQ(States(), QStringList({"1", "1", "1", "1"}));
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 0");
    EXPECT_FALSE(Control<QMenu>("PopupMenu1")->isVisible());

    // A time already used can be given again; the recording's own checks still apply.
    Control<QLineEdit>("Edit1")->setText("124");
    answers.Answer(QMessageBox::Yes);
    RequestMenu(Control<TDBGrid>("DBGrid1"), DeviceRow(3));
    EXPECT_EQ(Row("select midfin2 from result where zek = '0124'"), QStringList({"10:20:00.0000"}));
    Control<QLineEdit>("Edit1")->setText("123");
    answers.Answer(QMessageBox::Yes);
    RequestMenu(Control<TDBGrid>("DBGrid1"), DeviceRow(1)); // before the competitor's split 2
    EXPECT_EQ(Told(), QStringList({"最短計測時間に達していません（中間2 10:20:00.0、経過 -0:10:00、"
                                   "最短 5 分）"}));
    EXPECT_EQ(Row("select midfin3 from result where zek = '0123'"), QStringList({""}));
}

TEST_F(Corrections, TheSecondCompetitorOfADeadHeatGetsTheHeldTimeByHand) {
    AddClassM({"0012", "0013"});
    AddStamp("10:12:34.5678", 0);
    OpenWindow();
    TypeBib(Control<QLineEdit>("Edit5"), "12", Qt::Key_Space);
    Control<QLineEdit>("Edit1")->setText("13");
    answers.Answer(QMessageBox::Yes);
    RequestMenu(Control<TDBGrid>("DBGrid1"), 0);
    EXPECT_EQ(Row("select midfin1 from result where zek = '0013'"), QStringList({"10:12:34.5678"}));
    EXPECT_EQ(States(), QStringList({"1"}));
    EXPECT_EQ(db.Rows("select bib from midjyun order by bib"),
              QList<QStringList>({{"012"}, {"013"}}));
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), ""); // held no more
    // The passing log marks both.
    ASSERT_TRUE(QTest::qWaitFor([&] { return dm->Qmidtime2.RecordCount() == 2; }, 5000));
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(dm->Qmidtime2.Value(row, dm->Qmidtime2.FieldIndex("deadheat")), "同着") << row;
}

// 12 and 13 share a time by a dead heat: cancelling 13's split leaves the time taken, since
// 12 still holds it, and the next bib gets the next time, not this one again.
TEST_F(Corrections, CancelOfADeadHeatsSplitLeavesTheTimeTakenWhileItsPartnerHoldsIt) {
    AddClassM({"0012", "0013", "0014"});
    AddStamp("10:12:34.5678", 0);
    AddStamp("10:12:40.0000", 1);
    OpenWindow();
    TypeBib(Control<QLineEdit>("Edit5"), "12", Qt::Key_Space);
    TypeBib(Control<QLineEdit>("Edit5"), "13");
    ClickRow(Control<TDBGrid>("DBGrid2"),
             dm->Qmidtime.Locate("zek", "0013") ? dm->Qmidtime.RecNo() : 0);
    ASSERT_EQ(dm->Qmidtime.FieldByName("zek").AsString(), "0013");
    answers.Answer(QMessageBox::Yes);
    Control<QAction>("N1")->trigger();
    Settle();
    EXPECT_EQ(Result("0013", "midfin1"), QStringList({""}));
    EXPECT_EQ(States(), QStringList({"1", "0"}));
    EXPECT_EQ(Told(), QStringList({"時刻 10:12:34.5678 は同着の他の選手の記録にも使われているため、"
                                   "処理待ちには戻していません。"}));
    TypeBib(Control<QLineEdit>("Edit5"), "14");
    EXPECT_EQ(Result("0014", "midfin1"), QStringList({"10:12:40.0000"}));
}

TEST_F(Corrections, RightClickWithZeroOrEmptyInTheBoxOrAnsweredNoDoesNothing) {
    AddTwoSplits();
    AddStamp("10:12:34.5678", 3);
    OpenWindow();
    RequestMenu(Control<TDBGrid>("DBGrid1"), 0); // Edit1 shows its design "0"
    Control<QLineEdit>("Edit1")->clear();
    RequestMenu(Control<TDBGrid>("DBGrid1"), 0);
    EXPECT_TRUE(answers.Texts().isEmpty());

    Control<QLineEdit>("Edit1")->setText("124");
    answers.Answer(QMessageBox::No);
    RequestMenu(Control<TDBGrid>("DBGrid1"), 0);
    EXPECT_EQ(answers.Texts().size(), 1);
    EXPECT_EQ(Control<QLineEdit>("Edit1")->text(), "124");
    EXPECT_EQ(Row("select midfin1 from result where zek = '0124'"), QStringList({""}));
    EXPECT_EQ(States().last(), "0");
}

TEST_F(Corrections, DoubleClickOnEitherListCopiesTheSplitListsCurrentBib) {
    AddTwoSplits();
    OpenWindow();
    TDBGrid* splits = Control<TDBGrid>("DBGrid2");
    TDBGrid* passings = Control<TDBGrid>("DBGrid3");
    const QLineEdit* handBib = Control<QLineEdit>("Edit1");
    ClickRow(splits, 0, true); // 0123
    EXPECT_EQ(handBib->text(), "0123");

    ClickRow(splits, 1);         // 0124
    ClickRow(passings, 0, true); // the passing log's row (bib 123) does not count
    EXPECT_EQ(handBib->text(), "0124");
}

// The question names the race and what goes; No is its default, so Enter erases nothing.
TEST_F(Corrections, ResetAsksFirstThenClearsEverySplitAndOffersEveryTimeAgain) {
    AddTwoSplits();
    db.Exec("update result set midtime3 = '   30:00.0', midfin3 = '10:30:00.0000',"
            " midtime5 = 'x', midfin5 = '11:00:00.0000', finishtime = '11:10:00.0000'"
            " where zek = '0124'");
    db.Exec("update tdc_mid set sumi = '2' where id = 1");
    OpenWindow();
    const QList<QStringList> before = db.Rows("select * from result order by zek");
    answers.AnswerWithKey(Qt::Key_Return);
    QTest::mouseClick(Control<QPushButton>("Button2"), Qt::LeftButton);
    Settle();
    EXPECT_EQ(answers.Texts(),
              QStringList({"R1  テスト大会 の中間記録 4 件（2 名分）をすべて消去し、すべての"
                           "タイムを処理待ちに戻します。よろしいですか？"}));
    EXPECT_EQ(db.Rows("select * from result order by zek"), before);

    answers.Answer(QMessageBox::Yes);
    QTest::mouseClick(Control<QPushButton>("Button2"), Qt::LeftButton);
    Settle();
    EXPECT_EQ(db.Scalar("select count(*) from result where concat(midtime1, midfin1, midtime2,"
                        " midfin2, midtime3, midfin3, midtime4, midfin4, midtime5, midfin5) <> ''"),
              "0");
    EXPECT_EQ(Row("select midst2 from result where zek = '0123'"), QStringList({"10:00:00.0000"}));
    EXPECT_EQ(Row("select finishtime from result where zek = '0124'"),
              QStringList({"11:10:00.0000"}));
    EXPECT_EQ(States(), QStringList({"0", "0", "0"}));
    EXPECT_EQ(db.Scalar("select count(*) from midjyun"), "0");
    EXPECT_EQ(Control<QLabel>("Labmisyori")->text(), "未処理数 = 3");
    EXPECT_EQ(Control<QLineEdit>("Ed1")->text(), "10:10:00.0000");
    EXPECT_EQ(dm->Qmidtime2.RecordCount(), 0);
    EXPECT_EQ(Control<StatusStrip>("StatusStrip")->Shown(StatusStrip::Field::Action).text,
              "初期化 中間記録 4 件を消去");
}

TEST_F(Corrections, TheCloseButtonClosesTheWindow) {
    OpenWindow();
    Control<TCuteButton>("CuteButton")->Click();
    EXPECT_FALSE(window->isVisible());
}

} // namespace
