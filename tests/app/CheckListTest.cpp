// The check list of all split times: opened from the timing window, edited in place, a row
// changed by another program meanwhile is not overwritten, and nothing typed is lost unasked.
#include "support/TimingWindowFixture.h"

#include "app/TEditGrid.h"
#include "app/Ucheck.h"
#include "app/Umain.h"
#include "common/ErrorReport.h"
#include "controls/CuteBtn.h"
#include "support/OperatorHands.h"
#include "tests/app/FileFixtures.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

class CheckList : public TimingWindowFixture {
protected:
    void SetUp() override {
        TimingWindowFixture::SetUp();
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
        AddClass("M", 3);
        AddCompetitor("0010", "M", "10:00:00.0000");
        AddCompetitor("0008", "M", "10:00:00.0000");
        db.Exec("update result set midtime1 = '   12:00.0', finishtime = '11:00:00.0000' where zek "
                "= '0010'");
        AddRace("R2", "01", "other");
        db.Exec("insert into result (tcode,zek) values ('R2','0001')");
        check = std::make_unique<TFcheck>();
        OpenWindow();
    }
    void TearDown() override {
        check.reset();
        TimingWindowFixture::TearDown();
    }
    // The operator's click, through the event path where the error handler catches.
    // The main window's wiring stands in: the timing window asks, the program's list opens.
    void OpenCheckList() {
        const auto wiring = QObject::connect(window.get(), &TFhand::CheckListWanted, check.get(),
                                             [this] { RunGuarded([this] { check->OpenList(); }); });
        auto* button = Control<TCuteButton>("CuteButton6");
        // Where the operator can reach it in the window as it opens.
        const QPoint centre = button->mapTo(window.get(), button->rect().center());
        ASSERT_TRUE(button->isVisible() && window->rect().contains(centre)) << centre.x();
        QTest::mouseClick(button, Qt::LeftButton);
        QObject::disconnect(wiring);
    }
    QString Cell(int row, int column) {
        return dm->DScheck.data(dm->DScheck.index(row, column)).toString();
    }
    // Types into a cell of the grid as the operator does: select it, type, and Enter unless
    // the operator goes on to something else.
    void TypeInCell(int row, int column, const QString& text, bool enter = true) {
        TEditGrid* grid = check->DBGck2;
        QApplication::setActiveWindow(check.get());
        grid->setFocus();
        grid->setCurrentIndex(dm->DScheck.index(row, column));
        grid->edit(grid->currentIndex());
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, text);
        if (enter)
            QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the editor hands its text over from the loop,
        QCoreApplication::processEvents(); // and a refusal is told once the editor has closed
    }

    // The operator's way into a cell: a click on it, the time typed, Enter.
    void TypeAtCell(int row, int column, const QString& text) {
        TEditGrid* grid = check->DBGck2;
        QApplication::setActiveWindow(check.get());
        OperatorHands::ClickAt(grid->viewport(),
                               grid->visualRect(dm->DScheck.index(row, column)).center());
        OperatorHands::Type(text);
        OperatorHands::Press(Qt::Key_Return);
        QCoreApplication::processEvents(); // a refusal is told once the editor has closed
    }

    QTemporaryDir dataHome;
    std::unique_ptr<TFcheck> check;
};

TEST_F(CheckList, ListsTheRaceInBibOrderAndRecordsItsStatement) {
    OpenCheckList();
    ASSERT_TRUE(check->isVisible());
    EXPECT_FALSE(check->isModal());
    ASSERT_EQ(dm->DScheck.rowCount(), 2); // not the other race's competitor
    EXPECT_EQ(Cell(0, 0), "0008");
    EXPECT_EQ(Cell(1, 0), "0010");
    EXPECT_EQ(Cell(1, 1), "   12:00.0");
    EXPECT_EQ(Cell(1, 6), "11:00:00.0000");
    EXPECT_EQ(dm->DScheck.headerData(1, Qt::Horizontal).toString(), "中間1");
    EXPECT_EQ(dm->DScheck.headerData(6, Qt::Horizontal).toString(), "フィニッシュタイム");
    EXPECT_FALSE(dm->DScheck.flags(dm->DScheck.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(dm->DScheck.flags(dm->DScheck.index(0, 3)) & Qt::ItemIsEditable);
    EXPECT_FALSE(dm->DScheck.flags(dm->DScheck.index(0, 6)) & Qt::ItemIsEditable);

    QFile statement(TFcheck::StatementFilePath());
    ASSERT_TRUE(statement.open(QIODevice::ReadOnly));
    EXPECT_EQ(statement.readAll(),
              "select zek,startedtime,midtime1,midtime2,midtime3,midtime4,midtime5,finishtime,"
              "runtime\r\nfrom result where tcode='R1'\r\norder by zek\r\n");
}

TEST_F(CheckList, AnEditIsWrittenOnEnterOrWhenTheRowIsLeftAndReadBackOnReopening) {
    OpenCheckList();
    // Enter stores the cell at once, while the cursor stays on its row: a crash before the
    // operator moves on loses nothing.
    TypeInCell(0, 2, "   21:00.5");
    EXPECT_EQ(db.Scalar("select midtime2 from result where zek='0008'"), "   21:00.5");
    EXPECT_EQ(check->DBGck2->currentIndex(), dm->DScheck.index(0, 2));
    // A cell left without Enter waits for the row to be left.
    TypeInCell(0, 3, "   31:00.0", false);
    check->DBGck2->setFocus();
    EXPECT_EQ(db.Scalar("select midtime3 from result where zek='0008'"), "");
    check->DBGck2->setCurrentIndex(dm->DScheck.index(1, 3)); // leave the row
    EXPECT_EQ(db.Scalar("select midtime3 from result where zek='0008'"), "   31:00.0");
    check->close();
    EXPECT_FALSE(dm->Qcheck.Active());
    EXPECT_FALSE(dm->Qcheck.RequestLive());
    OpenCheckList();
    EXPECT_EQ(Cell(0, 2), "   21:00.5");
}

TEST_F(CheckList, ARowChangedMeanwhileIsNotOverwrittenAndTheEditStaysThroughReopeningUntilEsc) {
    OpenCheckList();
    db.Exec("update result set midtime1 = '   11:11.1' where zek = '0010'"); // another program
    TypeInCell(1, 1, "12:01.0");
    check->DBGck2->setCurrentIndex(dm->DScheck.index(0, 1));
    ASSERT_EQ(ShownErrors().size(), 1);
    EXPECT_TRUE(ShownErrors().first().contains("他のプログラム"));
    EXPECT_EQ(db.Scalar("select midtime1 from result where zek='0010'"), "   11:11.1");
    EXPECT_EQ(Cell(1, 1), "   12:01.0");
    OpenCheckList(); // tries the post again, refused again, and keeps the edit
    EXPECT_EQ(ShownErrors().size(), 2);
    EXPECT_EQ(Cell(1, 1), "   12:01.0");
    check->DBGck2->setCurrentIndex(dm->DScheck.index(1, 1));
    QTest::keyClick(check->DBGck2, Qt::Key_Escape);
    EXPECT_EQ(Cell(1, 1), "   11:11.1"); // as read on reopening
    check->close();
    EXPECT_FALSE(check->isVisible());
}

// An edit is an action of the lap page: Ctrl+Z there gives back the split, its passing and
// its passing-log row.
TEST_F(CheckList, ACorrectedSplitMovesItsPassingAndIsTakenBackWholeFromTheLapPage) {
    db.Exec("update result set midfin1 = '10:12:00.0000' where zek = '0010'");
    db.Exec("insert into midjyun (tcode,bib,mtime,tod) values ('R1','010','   12:00.0',"
            "'10:12:00.0000')");
    const QString record = "select r.midtime1,r.midfin1,m.bib,m.mtime,m.tod from result r, "
                           "midjyun m where r.zek = '0010' and m.bib = '010'";
    const QList<QStringList> before = db.Rows(record);
    check->RecordEditsIn(window.get()); // as the main window has it while the window is open
    OpenCheckList();
    TypeInCell(1, 1, "11:59.9");
    check->close();
    EXPECT_EQ(db.Rows(record), QList<QStringList>({{"   11:59.9", "10:11:59.9000", "010",
                                                    "   11:59.9", "10:11:59.9000"}}));
    window->activateWindow();
    QLineEdit* bibBox = Control<QLineEdit>("Edit5");
    bibBox->setFocus();
    QTest::keyClick(bibBox, Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(db.Rows(record), before);
}

// Told as a refused post is told; nothing typed reaches the database unchecked.
TEST_F(CheckList, TextThatIsNoSplitTimeIsToldNamingTheSplitAndTheCellKeepsItsValue) {
    OpenCheckList();
    const char* refused[] = {"abc", "1:5", "\u00a5',zek='0010"};
    for (const char* text : refused)
        TypeInCell(1, 2, QString::fromUtf8(text));
    ASSERT_EQ(ShownErrors().size(), 3);
    for (const QString& shown : ShownErrors())
        EXPECT_TRUE(shown.contains("中間2")) << shown.toStdString();
    EXPECT_EQ(Cell(1, 2), "");
    TypeInCell(1, 2, "1:02:03.4");
    EXPECT_EQ(Cell(1, 2), " 1:02:03.4");
    check->close();
    EXPECT_EQ(db.Rows("select zek,midtime2 from result order by zek"),
              QList<QStringList>({{"0001", ""}, {"0008", ""}, {"0010", " 1:02:03.4"}}));
}

// A split before the one ahead of it in the row (or after the one behind it) is a slip of the
// keys: refused naming both, the cell keeps its value and nothing is written; splits left
// empty between them do not count.
TEST_F(CheckList, ASplitOutOfOrderWithItsNeighboursIsRefusedNamingThem) {
    OpenCheckList();
    TEditGrid* grid = check->DBGck2;
    QApplication::setActiveWindow(check.get());
    const auto typeAtCell = [&](int column, const QString& text) {
        OperatorHands::ClickAt(grid->viewport(),
                               grid->visualRect(dm->DScheck.index(1, column)).center());
        OperatorHands::Type(text);
        OperatorHands::Press(Qt::Key_Return);
        QCoreApplication::processEvents(); // a refusal is told once the editor has closed
    };
    typeAtCell(2, "11:00.0");
    typeAtCell(3, "30:00.0");
    typeAtCell(2, "31:00.0");
    typeAtCell(5, "29:59.9");
    EXPECT_EQ(ShownErrors(), QStringList({"中間2 11:00.0 は 中間1 12:00.0 より前です。",
                                          "中間2 31:00.0 は 中間3 30:00.0 より後です。",
                                          "中間5 29:59.9 は 中間3 30:00.0 より前です。"}));
    EXPECT_EQ(Cell(1, 2), "");
    EXPECT_EQ(Cell(1, 5), "");
    typeAtCell(2, "20:00.0"); // between its neighbours: taken
    typeAtCell(5, "30:00.0"); // level with the one before it: taken
    EXPECT_EQ(ShownErrors().size(), 3);
    EXPECT_EQ(db.Rows("select midtime1,midtime2,midtime3,midtime4,midtime5 from result "
                      "where zek = '0010'"),
              QList<QStringList>({{"   12:00.0", "   20:00.0", "   30:00.0", "", "   30:00.0"}}));
}

// Closed without Enter: what was typed is written as Enter would; a refusal keeps the window.
TEST_F(CheckList, TextTypedThenTheWindowClosedIsSavedOrKeepsTheWindowOpen) {
    OpenCheckList();
    TypeInCell(0, 2, "21:00.5", false);
    check->close();
    EXPECT_FALSE(check->isVisible());
    EXPECT_EQ(db.Scalar("select midtime2 from result where zek='0008'"), "   21:00.5");

    OpenCheckList();
    TypeInCell(0, 3, "21:00,5", false);
    EXPECT_FALSE(check->close());
    QCoreApplication::processEvents();
    EXPECT_TRUE(check->isVisible());
    ASSERT_EQ(ShownErrors().size(), 1);
    EXPECT_TRUE(ShownErrors().first().contains("中間3"));
    EXPECT_EQ(db.Scalar("select midtime3 from result where zek='0008'"), "");
}

// A change the database refuses never keeps the program from ending, nor is it lost unasked.
TEST_F(CheckList, ClosingTheMainWindowAsksToDropARefusedChangeAndThenEnds) {
    QTemporaryDir workDir; // where the main window keeps its configuration
    WorkingDirectory cwd(workDir.path());
    TFmain form;
    OpenCheckList();
    db.Exec("update result set midtime1 = '   11:11.1' where zek = '0010'"); // another program
    TypeInCell(1, 1, "12:01.0");
    check->DBGck2->setCurrentIndex(dm->DScheck.index(0, 1));
    ASSERT_EQ(ShownErrors().size(), 1);

    answers.Answer(QMessageBox::No);
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(answers.LastText().contains("破棄")) << answers.LastText().toStdString();
    EXPECT_EQ(Cell(1, 1), "   12:01.0");

    answers.Answer(QMessageBox::Yes);
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(check->isVisible());
    EXPECT_FALSE(dm->Qcheck.HoldsChanges());
    EXPECT_EQ(db.Scalar("select midtime1 from result where zek='0010'"), "   11:11.1");
}

TEST_F(CheckList, OpensWhollyOnTheScreenWithRoomForFourDigitBibs) {
    QWidget mainWindow; // at the top edge, shorter than the list
    mainWindow.setGeometry(0, 0, 720, 484);
    mainWindow.show();
    check->SetMainWindow(&mainWindow);
    OpenCheckList();
    const QRect screen = mainWindow.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(check->frameGeometry()))
        << check->frameGeometry().y() << " on a screen from " << screen.y();
    const int digits = check->DBGck2->fontMetrics().horizontalAdvance("0000");
    EXPECT_GT(check->DBGck2->columnWidth(0), digits);
    EXPECT_EQ(check->DBGck2->columnWidth(1), 80);
}

TEST_F(CheckList, AnEmptyRaceShowsAnEmptyGrid) {
    db.Exec("update execinfo set tcode = 'R9'");
    window.reset();
    OpenWindow();
    OpenCheckList();
    EXPECT_TRUE(check->isVisible());
    EXPECT_EQ(dm->DScheck.rowCount(), 0);
}

// Told where the operator asked for the list: on the timing window, without a box.
TEST_F(CheckList, AStatementFileThatCannotBeWrittenKeepsTheListClosed) {
    QFile::remove(TFcheck::StatementFilePath());
    QDir().mkpath(TFcheck::StatementFilePath()); // a folder where the file should be
    OpenCheckList();
    ASSERT_EQ(Told().size(), 1);
    EXPECT_TRUE(Told().first().contains("a.txt"));
    EXPECT_TRUE(ShownErrors().isEmpty());
    EXPECT_FALSE(check->isVisible());
    EXPECT_FALSE(dm->Qcheck.Active());
}

// The passing keeps the stamp it took: cancelled after a correction in the list, it gives that
// stamp back (not the corrected time, which no stamp has), and the right runner gets it by hand.
TEST_F(CheckList, ACancelAfterACorrectionGivesBackTheStampThePassingTook) {
    db.Exec("update result set midtime1 = '' where zek = '0010'");
    AddStamp("10:12:00.0000", 0);
    AddStamp("10:14:00.0000", 1);
    window.reset();
    OpenWindow();
    check->RecordEditsIn(window.get());
    TypeBib(Control<QLineEdit>("Edit5"), "8");
    ASSERT_EQ(db.Scalar("select midfin1 from result where zek='0008'"), "10:12:00.0000");

    OpenCheckList();
    TypeAtCell(0, 1, "11:59.9");
    ASSERT_EQ(db.Scalar("select midfin1 from result where zek='0008'"), "10:11:59.9000");
    check->close();
    window->activateWindow();
    CancelTopSplit();
    EXPECT_EQ(db.Rows("select midtime1, midfin1 from result where zek='0008'"),
              QList<QStringList>({{"", ""}}));
    EXPECT_EQ(db.Rows("select tm, sumi from tdc_mid order by id"),
              QList<QStringList>({{"10:12:00.0000", StampGivenBack}, {"10:14:00.0000", "0"}}));

    GiveByHand("0008", "10:12:00.0000");
    EXPECT_EQ(db.Rows("select midtime1, midfin1 from result where zek='0008'"),
              QList<QStringList>({{"   12:00.0", "10:12:00.0000"}}));
    // Cancelled again, uncorrected this time: the same stamp goes back, the other stays pending.
    CancelTopSplit();
    EXPECT_EQ(db.Rows("select tm, sumi from tdc_mid order by id"),
              QList<QStringList>({{"10:12:00.0000", StampGivenBack}, {"10:14:00.0000", "0"}}));
    EXPECT_TRUE(ShownErrors().isEmpty()) << qPrintable(ShownErrors().join('\n'));
}

// With the timing window closed the list keeps its own undo: Ctrl+Z there, or its 元に戻す
// button, gives the cell back what it held, the passing and its log row with it, newest first.
TEST_F(CheckList, EditsMadeWithTheTimingWindowClosedAreTakenBackInTheList) {
    OpenCheckList();
    window->close();
    window.reset();
    const QString record = "select zek,midtime1,midfin1,midtime2 from result where tcode='R1' "
                           "order by zek";
    const QList<QStringList> before = db.Rows(record);
    TypeAtCell(1, 1, "12:30.0");
    TypeAtCell(0, 1, "9:00.0");
    ASSERT_EQ(db.Rows(record),
              QList<QStringList>({{"0008", "    9:00.0", "10:09:00.0000", ""},
                                  {"0010", "   12:30.0", "10:12:30.0000", ""}}));
    ASSERT_EQ(db.Scalar("select count(*) from midjyun"), "2");

    OperatorHands::Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Cell(0, 1), "");
    auto* undo = FindControl<QPushButton>(*check, "BtnCheckUndo");
    ASSERT_TRUE(undo->isEnabled());
    OperatorHands::Click(undo);
    EXPECT_EQ(db.Rows(record), before);
    EXPECT_EQ(Cell(1, 1), "   12:00.0");
    EXPECT_EQ(db.Scalar("select count(*) from midjyun"), "0");
    EXPECT_FALSE(undo->isEnabled()); // nothing more to take back
    EXPECT_TRUE(ShownErrors().isEmpty()) << qPrintable(ShownErrors().join('\n'));
}

} // namespace
