// The main window against the real server: the database choice with its confirmation and
// fallback, the opening of the timing window, and the configuration around start and close.
#include "app/DatabaseChoice.h"
#include "app/TRadioGroup.h"
#include "app/Umain.h"
#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "data/Udm1.h"
#include "data/sql/DatabaseError.h"
#include "support/DataSourceFile.h"
#include "support/ModalAnswerer.h"
#include "support/ShownErrors.h"
#include "support/TestDatabase.h"
#include "support/WindowControls.h"
#include "tests/app/FileFixtures.h"
#include "timing/Uhand.h"

#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kQuestion = "サーバーのデータベースに接続しようとしています。"
                          "十分注意して作業してください。接続してよろしいですか？";

QString FailureNotice(const QString& source) {
    return "ODBC DSN=" + source + " の接続に失敗しました。「Local」に接続します。";
}

// What the test saw of the timing window while it was open.
struct TimingWindowSeen {
    bool shown = false;
    QString caption;
    bool relayPage = false;
    QWidget* owner = nullptr;
};

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        ShownErrors().clear();
        uComm::RaceCode.clear();
        db.Exec("insert into execinfo (num,tcode,updx,stat) values (1,'R1',0,'')");
    }

    void WriteConfiguration(const QByteArray& text) {
        WriteFileText(dir.filePath("TarnikMid.ini"), text);
    }

    // In the program's order: the window (which reads the configuration), then the data
    // module, then the first show, which connects.
    void StartProgram() {
        form = std::make_unique<TFmain>();
        dm = std::make_unique<TDm1>(nullptr, db.Name());
        form->show();
        QCoreApplication::processEvents();
    }

    void ClickChoice(int index) {
        QRadioButton* item = form->RGdb->Item(index);
        QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, item->height() / 2));
    }

    // Clicks "中間処理"; the modal timing window is looked at and closed from a timer.
    TimingWindowSeen OpenTimingWindow() {
        TimingWindowSeen seen;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&seen] {
            auto* hand = qobject_cast<TFhand*>(QApplication::activeModalWidget());
            if (!hand || seen.shown)
                return;
            const auto* pages = FindControl<QTabWidget>(*hand, "PageControl1");
            seen = {true, hand->windowTitle(),
                    pages->tabText(pages->currentIndex()) == "リレー計測", hand->parentWidget()};
            hand->reject();
        });
        watcher.start(10);
        QTest::mouseClick(form->CuteButton1, Qt::LeftButton);
        EXPECT_TRUE(form->findChildren<TFhand*>().isEmpty()) << "destroyed when it closes";
        return seen;
    }

    // Makes the race the one in work and opens it with "中間処理".
    void ExpectOpensAs(const QString& tcode, const QString& caption, bool relayPage) {
        db.Exec("update execinfo set tcode = '" + tcode + "'");
        const TimingWindowSeen seen = OpenTimingWindow();
        EXPECT_TRUE(seen.shown);
        EXPECT_EQ(seen.caption, caption);
        EXPECT_EQ(seen.relayPage, relayPage);
        EXPECT_EQ(seen.owner, form.get());
        EXPECT_TRUE(ShownErrors().isEmpty()) << ShownErrors().join('\n').toStdString();
    }

    void ExpectOnLocal() {
        EXPECT_EQ(form->RGdb->ItemIndex(), 0);
        EXPECT_EQ(form->DataIndex, 0);
        EXPECT_EQ(form->Label16->text(), "");
        EXPECT_TRUE(dm->DB.Connected());
        EXPECT_EQ(dm->DB.Params, ConnectionParams(0));
        EXPECT_TRUE(ShownErrors().isEmpty()) << ShownErrors().join('\n').toStdString();
    }

    TestDatabase db;
    QTemporaryDir dir;
    WorkingDirectory cwd{dir.path()};
    ModalAnswerer answers;
    std::unique_ptr<TDm1> dm;
    std::unique_ptr<TFmain> form;
};

TEST_F(MainWindowTest, LocalConnectsAtShowAndTheRefusedSetNamesIsNoError) {
    StartProgram();
    ExpectOnLocal();
    EXPECT_TRUE(answers.Texts().isEmpty());
    EXPECT_EQ(dm->DB.Params.size(), 18);
    EXPECT_EQ(dm->DB.Params[2], "ODBC DSN=TarnikLocal");
    EXPECT_EQ(dm->Query1.Text(), "set names sjis");

    // The driver does refuse the statement, and only that refusal is passed over.
    std::optional<DatabaseError> refusal, otherError;
    try {
        dm->Query1.ExecSQL();
    } catch (const DatabaseError& e) {
        refusal = e;
    }
    try {
        dm->Query1.Clear();
        dm->Query1.Add("set nonsense sjis");
        dm->Query1.ExecSQL();
    } catch (const DatabaseError& e) {
        otherError = e;
    }
    ASSERT_TRUE(refusal && otherError);
    EXPECT_TRUE(IsSetNamesRefusal(*refusal)) << refusal->what();
    EXPECT_FALSE(IsSetNamesRefusal(*otherError)) << otherError->what();

    // Japanese text makes the round trip on the connection the choice made.
    dm->Qwork1.Clear();
    dm->Qwork1.Add("insert into tiki (tcode,syumoku,TIKIMEI) values ('R9','01','テスト大会ソ表')");
    dm->Qwork1.ExecSQL();
    EXPECT_EQ(db.Scalar("select TIKIMEI from tiki where tcode = 'R9'"), "テスト大会ソ表");
}

TEST_F(MainWindowTest, TestThatDoesNotAnswerFallsBackToLocal) {
    db.Exec("update execinfo set tcode = 'R7'");
    StartProgram();
    ClickChoice(1);

    EXPECT_EQ(answers.Texts(), QStringList{FailureNotice("TarnikTest")});
    EXPECT_EQ(answers.Captions(), QStringList{"中間計時"});
    ExpectOnLocal();
    EXPECT_EQ(uComm::RaceCode, "R7");
}

TEST_F(MainWindowTest, ServerConfirmedButNotAnsweringMovesToLocalAndClearsTheNote) {
    StartProgram();
    answers.Answer(QMessageBox::Yes);
    ClickChoice(2);

    EXPECT_EQ(answers.Captions().value(0), "確認してください。");
    EXPECT_EQ(answers.Texts(), (QStringList{kQuestion, FailureNotice("TarnikServer")}));
    ExpectOnLocal();
}

TEST_F(MainWindowTest, ServerRefusedSelectsAndConnectsLocal) {
    StartProgram();
    answers.Answer(QMessageBox::No);
    ClickChoice(2);

    EXPECT_EQ(answers.Texts(), QStringList{kQuestion});
    ExpectOnLocal();
}

TEST_F(MainWindowTest, StoredChoiceAboveServerAsksAtShowAndTheRefusalIsSaved) {
    WriteConfiguration("[DB]\nDataIndex=5\n");
    answers.Answer(QMessageBox::No);
    StartProgram();

    EXPECT_EQ(answers.Captions(), QStringList{"確認してください。"});
    ExpectOnLocal();
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(FileText(dir.filePath("TarnikMid.ini")).contains("[DB]\nDataIndex=0\n"));
}

TEST_F(MainWindowTest, StoredChoiceBelowZeroSelectsNothingAndConnectsNothing) {
    WriteConfiguration("[DB]\nDataIndex=-1\n");
    StartProgram();

    EXPECT_EQ(form->RGdb->ItemIndex(), -1);
    EXPECT_EQ(form->DataIndex, -1);
    EXPECT_EQ(dm->DB.Params, TDm1::CreationParams());
    EXPECT_TRUE(answers.Texts().isEmpty());
}

TEST_F(MainWindowTest, WindowStartsWhereTheFileSaysAndKeepsThePortPaths) {
    WriteConfiguration("[MainForm]\nTop=40\nLeft=30\n[Port]\nCOM2=/dev/pts/7\n");
    StartProgram();
    EXPECT_EQ(form->pos(), QPoint(30, 40));
    EXPECT_EQ(form->PortPaths, (QMap<int, QString>{{2, "/dev/pts/7"}}));

    form->move(50, 60);
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(FileText(dir.filePath("TarnikMid.ini")).contains("[MainForm]\nTop=60\nLeft=50\n"));
}

TEST_F(MainWindowTest, FailingSaveIsShownAndTheProgramStillCloses) {
    StartProgram();
    // A folder where the file should be: no write replaces it, not even root's.
    ASSERT_TRUE(QDir(dir.path()).mkdir("TarnikMid.ini"));

    QTest::mouseClick(form->CuteButton4, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(ShownErrors().size(), 1);
    EXPECT_TRUE(ShownErrors().first().contains(dir.filePath("TarnikMid.ini")))
        << ShownErrors().first().toStdString();
}

TEST_F(MainWindowTest, OpensTheRaceInWorkOnThePageItsEventChooses) {
    db.Exec("insert into tiki (tcode,syumoku,TIKIMEI) values ('R1','10','リレー大会')");
    db.Exec("insert into tiki (tcode,syumoku,TIKIMEI) values ('R2','010','周回大会')");
    StartProgram();

    // execinfo is read afresh at every opening.
    ExpectOpensAs("R1", "R1  リレー大会", true);
    ExpectOpensAs("R2", "R2  周回大会", false);
    ExpectOpensAs("", "0  大会未指定", false);
    EXPECT_EQ(uComm::RaceCode, "0");
}

TEST_F(MainWindowTest, SampleRacesOfRunShOpen) {
    db.Exec("delete from execinfo");
    db.ExecFile(TestDatabase::SourcePath("data/sample_race.sql"));
    StartProgram();

    ExpectOpensAs("202612061", "202612061  第12回 みなと湾岸ハーフマラソン", false);
    ExpectOpensAs("202612062", "202612062  市民駅伝大会 2026", true);
}

TEST_F(MainWindowTest, DatabaseErrorWhileOpeningIsShownAndNoWindowAppears) {
    StartProgram();
    db.Exec("drop table tiki");

    const TimingWindowSeen seen = OpenTimingWindow();
    EXPECT_FALSE(seen.shown);
    ASSERT_EQ(ShownErrors().size(), 1);
    EXPECT_TRUE(ShownErrors().first().contains("tiki")) << ShownErrors().first().toStdString();
}

} // namespace

// A race server that refuses every connection, beside the test server's Local.
class RaceServerAwayTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        QFile shared(QString::fromLocal8Bit(savedOdbcIni));
        ASSERT_TRUE(shared.open(QIODevice::ReadOnly));
        WriteFileText(dir.filePath("odbc.ini"),
                      shared.readAll() + "\n[TarnikServer]\nDriver=MariaDB Unicode\n"
                                         "SERVER=127.0.0.1\nPORT=9\nDATABASE=tarnik\n");
        PointOdbcIniAt(dir.filePath("odbc.ini").toLocal8Bit(), dir.filePath("scratch.ini"));
    }
    void TearDown() override { PointOdbcIniAt(savedOdbcIni, dir.filePath("scratch.ini")); }

    QByteArray savedOdbcIni = qgetenv("ODBCINI");
};

TEST_F(RaceServerAwayTest, TheOperatorChoosesBetweenTimingOfflineOnItAndLocal) {
    StartProgram();
    answers.Answer(QMessageBox::Yes); // the server, with care
    answers.Answer(QMessageBox::Yes); // offline on it
    ClickChoice(2);
    ASSERT_EQ(answers.Texts().size(), 2);
    EXPECT_TRUE(answers.Texts()[1].startsWith("ODBC DSN=TarnikServer が応答しません。"))
        << qPrintable(answers.Texts()[1]);
    EXPECT_EQ(form->Label16->text(), "オフライン（サーバー応答なし）");
    EXPECT_EQ(form->DataIndex, 2);
    EXPECT_EQ(dm->DB.Params.value(DataSourceLineIndex), "ODBC DSN=TarnikServer");
    EXPECT_FALSE(dm->DB.Connected());
    EXPECT_TRUE(ShownErrors().isEmpty()) << ShownErrors().join('\n').toStdString();

    // Asked again, the operator takes Local: as when no offline work was offered.
    answers.Forget();
    ClickChoice(0);
    answers.Answer(QMessageBox::Yes);
    answers.Answer(QMessageBox::No);
    ClickChoice(2);
    EXPECT_EQ(answers.Texts().size(), 2);
    ExpectOnLocal();
}
