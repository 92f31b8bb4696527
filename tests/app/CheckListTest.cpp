// The check list of all split times: opened from the timing window, edited in place, a row
// changed by another program meanwhile is not overwritten.
#include "support/TimingWindowFixture.h"

#include "app/TEditGrid.h"
#include "app/Ucheck.h"
#include "common/ErrorReport.h"
#include "controls/CuteBtn.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
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
    // Types into a cell of the grid as the operator does: select it, type, Enter.
    void TypeInCell(int row, int column, const QString& text) {
        TEditGrid* grid = check->DBGck2;
        QApplication::setActiveWindow(check.get());
        grid->setFocus();
        grid->setCurrentIndex(dm->DScheck.index(row, column));
        grid->edit(grid->currentIndex());
        auto* editor = grid->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the editor hands its text over from the loop
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

TEST_F(CheckList, AnEditIsWrittenWhenTheRowIsLeftAndReadBackOnReopening) {
    OpenCheckList();
    TypeInCell(0, 2, "   21:00.5");
    EXPECT_EQ(db.Scalar("select midtime2 from result where zek='0008'"), ""); // not yet posted
    check->DBGck2->setCurrentIndex(dm->DScheck.index(1, 2));                  // leave the row
    EXPECT_EQ(db.Scalar("select midtime2 from result where zek='0008'"), "   21:00.5");
    check->close();
    EXPECT_FALSE(dm->Qcheck.Active());
    EXPECT_FALSE(dm->Qcheck.RequestLive());
    OpenCheckList();
    EXPECT_EQ(Cell(0, 2), "   21:00.5");
}

TEST_F(CheckList, ARowChangedMeanwhileIsNotOverwrittenAndTheEditStaysThroughReopeningUntilEsc) {
    OpenCheckList();
    db.Exec("update result set midtime1 = '   11:11.1' where zek = '0010'"); // another program
    TypeInCell(1, 1, "it's 12:01");
    check->DBGck2->setCurrentIndex(dm->DScheck.index(0, 1));
    ASSERT_EQ(ShownErrors().size(), 1);
    EXPECT_TRUE(ShownErrors().first().contains("他のプログラム"));
    EXPECT_EQ(db.Scalar("select midtime1 from result where zek='0010'"), "   11:11.1");
    EXPECT_EQ(Cell(1, 1), "it's 12:01");
    OpenCheckList(); // tries the post again, refused again, and keeps the edit
    EXPECT_EQ(ShownErrors().size(), 2);
    EXPECT_EQ(Cell(1, 1), "it's 12:01");
    check->DBGck2->setCurrentIndex(dm->DScheck.index(1, 1));
    QTest::keyClick(check->DBGck2, Qt::Key_Escape);
    EXPECT_EQ(Cell(1, 1), "   11:11.1"); // as read on reopening
    check->close();
    EXPECT_FALSE(check->isVisible());
}

// An edit is an action of the lap page: Ctrl+Z there gives the cell back what it held.
TEST_F(CheckList, AnEditIsTakenBackFromTheLapPage) {
    QObject::connect(&dm->Qcheck, &TQuery::RowWritten, window.get(), &TFhand::RecordCheckListEdit);
    OpenCheckList();
    TypeInCell(1, 1, "   11:59.9");
    check->close();
    EXPECT_EQ(db.Scalar("select midtime1 from result where zek='0010'"), "   11:59.9");
    window->activateWindow();
    QLineEdit* bibBox = Control<QLineEdit>("Edit5");
    bibBox->setFocus();
    QTest::keyClick(bibBox, Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(db.Scalar("select midtime1 from result where zek='0010'"), "   12:00.0");
}

TEST_F(CheckList, QuotesAndTheYenSignAreStoredAsTyped) {
    OpenCheckList();
    TypeInCell(0, 5, QString::fromUtf8("\u00a5',zek='0010"));
    check->close(); // closing posts what waits
    EXPECT_EQ(db.Scalar("select hex(midtime5) from result where zek='0008'"),
              "5C272C7A656B3D2730303130");
    EXPECT_EQ(db.Scalar("select count(*) from result where zek='0008'"), "1");
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

} // namespace
