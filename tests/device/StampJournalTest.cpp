// No stamp lost, none stored twice: the journal file on its own (each record forced to the
// disk before it goes on), its lock, and the window storing through it while the database
// refuses, loses its connection or the program restarts.
#include "DeviceWindowFixture.h"

#include "common/JournalLock.h"
#include "data/actions/StampColumns.h"
#include "device/StampJournal.h"
#include "timing/widgets/StatusStrip.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

QStringList Records(const StampJournal& journal) {
    QStringList records;
    for (const StampJournal::Entry& entry : journal.Waiting())
        records << entry.raceCode + "|" + entry.record;
    return records;
}

void AppendToFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(bytes);
}

TEST(StampJournal, KeepsWaitingRecordsInOrderAcrossRunsAndEmptiesOnceAllAreStored) {
    QTemporaryDir dir;
    const QString path = dir.filePath("stamps.journal");
    {
        StampJournal journal(path);
        EXPECT_TRUE(journal.Append("R1", "first"));
        EXPECT_TRUE(journal.Append("R2", "second"));
        EXPECT_TRUE(journal.Append("R1", "third"));
        journal.RemoveOldest();
    }
    // A crash in the middle of a line leaves half of it.
    AppendToFile(path, R"({"a":"cut-sh)");
    QString id;
    {
        StampJournal journal(path);
        EXPECT_EQ(Records(journal), QStringList({"R2|second", "R1|third"}));
        EXPECT_TRUE(journal.Append("R1", "fourth"));
        id = journal.Waiting().front().id;
    }
    StampJournal journal(path);
    EXPECT_EQ(Records(journal), QStringList({"R2|second", "R1|third", "R1|fourth"}));
    EXPECT_EQ(journal.Waiting().front().id, id); // the row's name stays
    while (!journal.Waiting().empty())
        journal.RemoveOldest();
    EXPECT_EQ(QFile(path).size(), 0);
    EXPECT_TRUE(journal.Problem().isEmpty());
}

TEST(StampJournal, AJournalThatCannotBeWrittenKeepsItsRecordsAndSaysWhy) {
    QTemporaryDir dir;
    StampJournal journal(dir.filePath("missing/stamps.journal"));
    EXPECT_FALSE(journal.Append("R1", "kept"));
    EXPECT_EQ(Records(journal), QStringList({"R1|kept"}));
    EXPECT_TRUE(journal.Problem().contains("missing/stamps.journal"))
        << journal.Problem().toStdString();
}

// The journal's size at each forced write.
std::vector<qint64> syncedSizes;
int RecordingSync(int fd) {
    struct stat status {};
    ::fstat(fd, &status);
    syncedSizes.push_back(status.st_size);
    return ::fdatasync(fd);
}

TEST(StampJournal, EveryRecordIsForcedToTheDiskBeforeAppendReturns) {
    QTemporaryDir dir;
    const QString path = dir.filePath("stamps.journal");
    syncedSizes.clear();
    StampJournal journal(path, RecordingSync);
    std::size_t syncs = syncedSizes.size();
    for (const char* record : {"first", "second", "third"}) {
        ASSERT_TRUE(journal.Append("R1", record));
        ASSERT_EQ(syncedSizes.size(), ++syncs) << record;
        EXPECT_EQ(syncedSizes.back(), QFileInfo(path).size()) << record; // the line is in
    }
}

TEST(JournalLock, EachProgramHasAJournalOfItsOwnPerDatabase) {
    QTemporaryDir dir;
    std::optional<JournalLock> first(std::in_place, dir.path(), "stamps", "TarnikLocal/race1");
    const JournalLock second(dir.path(), "stamps", "TarnikLocal/race1");
    const JournalLock other(dir.path(), "stamps", "TarnikTest/race1");
    ASSERT_TRUE(first->Held() && second.Held() && other.Held());
    EXPECT_NE(first->JournalPath(), second.JournalPath());
    EXPECT_NE(first->JournalPath(), other.JournalPath());
    const QString firstPath = first->JournalPath();
    first.reset();
    EXPECT_EQ(JournalLock(dir.path(), "stamps", "TarnikLocal/race1").JournalPath(), firstPath);
}

class StampStoring : public DeviceWindowFixture {
protected:
    void TakeTableAway() { db.Exec("rename table tdc_mid to tdc_mid_away"); }
    void BringTableBack() { db.Exec("rename table tdc_mid_away to tdc_mid"); }
};

TEST_F(StampStoring, RefusedStampsWaitVisiblyAndAreStoredOnceInOrderWhenTheDatabaseTakesThem) {
    OpenWindow();
    TakeTableAway();
    Send(StampLine(" ", 1, "C1", "10:00:01.0000") + StampLine(" ", 2, "C1", "10:00:02.0000"));
    ASSERT_TRUE(Eventually([&] { return UnsavedText() == "未保存 2 件"; }));
    Send(StampLine(" ", 3, "C1", "10:00:03.0000"));
    ASSERT_TRUE(Eventually([&] { return UnsavedText() == "未保存 3 件"; }));
    // The count follows each stamp into the journal; the server's words follow the writer's
    // next attempt.
    const QLabel* unsaved = Control<QLabel>("Labunsaved");
    EXPECT_TRUE(Eventually([&] { return unsaved->toolTip().contains("tdc_mid"); }))
        << qPrintable(unsaved->toolTip());
    EXPECT_TRUE(ShownErrors().isEmpty()); // no dialog for each stamp

    BringTableBack();
    ASSERT_TRUE(WaitForRows(3));
    EXPECT_EQ(db.Rows("select bib from tdc_mid order by dt, id"),
              QList<QStringList>({{"0001"}, {"0002"}, {"0003"}}));
    EXPECT_TRUE(Eventually([&] { return Control<QLineEdit>("Ed3")->text() == "10:00:03.0000"; }));
    EXPECT_TRUE(Eventually([&] { return UnsavedText().isEmpty(); })) << qPrintable(UnsavedText());
    EXPECT_TRUE(JournalText().isEmpty());
    QTest::qWait(1500); // a retry more stores nothing twice
    EXPECT_EQ(db.Scalar("select count(*) from tdc_mid"), "3");
}

TEST_F(StampStoring, ANewWindowTakesUpWhatTheJournalStillHolds) {
    OpenWindow();
    TakeTableAway();
    Send(StampLine(" ", 1, "C1", "10:00:01.0000") + StampLine("?", 2, "C1", "10:00:02.0000"));
    ASSERT_TRUE(Eventually([&] { return UnsavedText() == "未保存 2 件"; }));
    window.reset(); // the program ends with stamps unsaved, in the middle of a line
    AppendToFile(JournalPath(), R"({"a":"half)");
    BringTableBack();

    OpenWindow();
    ASSERT_TRUE(WaitForRows(2));
    EXPECT_EQ(db.Rows("select bib, tstat from tdc_mid order by dt, id"),
              QList<QStringList>({{"0001", " "}, {"0002", "?"}}));
    EXPECT_TRUE(Eventually([&] { return Control<QLineEdit>("Ed2")->text() == "10:00:02.0000"; }));
    EXPECT_TRUE(Eventually([&] { return UnsavedText().isEmpty(); })) << qPrintable(UnsavedText());
}

TEST_F(StampStoring, AStampThatReachedTheDatabaseBeforeItsNoteIsNotStoredTwice) {
    OpenWindow();
    Send(StampLine(" ", 1, "C1", "10:00:01.0000"));
    ASSERT_TRUE(WaitForRows(1));
    const QStringList row = db.Rows("select jid, getstr from tdc_mid").first();
    window.reset();
    // The program ended after the insert, before the journal noted it.
    AppendToFile(JournalPath(),
                 QStringLiteral(R"({"a":"%1","t":"R1","r":"%2"})").arg(row[0], row[1]).toUtf8() +
                     "\n");

    OpenWindow();
    ASSERT_TRUE(Eventually([&] { return JournalText().isEmpty(); }));
    EXPECT_EQ(db.Scalar("select count(*) from tdc_mid"), "1");
    EXPECT_TRUE(Eventually([&] { return UnsavedText().isEmpty(); })) << qPrintable(UnsavedText());
}

TEST_F(StampStoring, AConnectionTheInsertFindsLostIsMadeAgainAndTheStampStoredOnce) {
    OpenWindow();
    dm->Qtemp.Clear();
    dm->Qtemp.Add("select connection_id() as id");
    dm->Qtemp.Open();
    const QString windowConnection = dm->Qtemp.FieldByName("id").AsString();
    Send(StampLine(" ", 1, "C1", "10:00:01.0000"));
    ASSERT_TRUE(WaitForRows(1));
    // The writer's own connection: neither the window's nor the test's.
    for (const QStringList& row :
         db.Rows("select id from information_schema.processlist where db = '" + db.Name() +
                 "' and id <> connection_id() and id <> " + windowConnection))
        db.Exec("kill connection " + row[0]);
    Send(StampLine(" ", 2, "C1", "10:00:02.0000"));
    ASSERT_TRUE(WaitForRows(2));
    EXPECT_TRUE(Eventually([&] { return Control<QLineEdit>("Ed2")->text() == "10:00:02.0000"; }));
    QTest::qWait(1500);
    EXPECT_EQ(db.Scalar("select count(*) from tdc_mid"), "2");
    EXPECT_EQ(UnsavedText(), QString());
    EXPECT_TRUE(ShownErrors().isEmpty());
}

// A race database made by the suite's other programs, without the program's own columns: the
// stamps are stored, listed and taken all the same, and the operator is told once what that
// costs.
TEST_F(StampStoring, ARaceDatabaseWithoutTheProgramsOwnColumnsStillTakesEveryStamp) {
    const struct Restore {
        ~Restore() { SetStampColumns({}); }
    } restore;
    db.Exec("alter table tdc_mid drop column if exists jid, drop column id");
    AddClass("M", 3);
    AddCompetitor("0012", "M", "10:00:00.0000");
    OpenWindow();
    const QStringList told = Told();
    ASSERT_EQ(told.size(), 1) << qPrintable(told.join('\n'));
    EXPECT_TRUE(told[0].contains("id がない") && told[0].contains("jid がない"))
        << qPrintable(told[0]);

    Send(StampLine(" ", 1, "C1", "10:20:00.0000") + StampLine(" ", 2, "C1", "10:21:00.0000"));
    ASSERT_TRUE(WaitForRows(2));
    EXPECT_TRUE(Eventually([&] { return UnsavedText().isEmpty(); }));
    ASSERT_TRUE(Eventually([&] {
        return Control<QLineEdit>("Ed1")->text() == "10:20:00.0000" &&
               Control<QLineEdit>("Ed2")->text() == "10:21:00.0000";
    }));
    TypeBib(Control<QLineEdit>("Edit5"), "12");
    EXPECT_TRUE(Eventually([&] {
        return db.Scalar("select midfin1 from result where zek = '0012'") == "10:20:00.0000";
    }));
    EXPECT_EQ(db.Rows("select tm, sumi from tdc_mid order by dt, tm"),
              QList<QStringList>({{"10:20:00.0000", "1"}, {"10:21:00.0000", "0"}}));
    EXPECT_TRUE(Eventually([&] { return Control<QLineEdit>("Ed1")->text() == "10:21:00.0000"; }));
    EXPECT_EQ(Told(), told);
}

} // namespace

namespace {

// The journals' folder cannot be made (a file stands where it should be; permissions would not
// stop root): an alarm on the strip, not an outage, and every stamp and bib still reaches the
// database while the program runs.
TEST_F(StampStoring, AJournalFolderThatCannotBeWrittenIsAnAlarmAndLosesNothingWhileRunning) {
    QFile blocker(dataHome.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    qputenv("TARNIK_HOME", dataHome.filePath("blocker/tarnikmid").toUtf8());
    AddClass("M", 3);
    AddCompetitor("0012", "M", "10:00:00.0000");
    OpenWindow();
    const StripReading database =
        Control<StatusStrip>("StatusStrip")->Shown(StatusStrip::Field::Database);
    EXPECT_TRUE(database.text.contains("日誌に保存できません")) << qPrintable(database.text);
    EXPECT_EQ(database.colour, StripColours::Trouble);
    Send(StampLine(" ", 1, "C1", "10:20:00.0000"));
    ASSERT_TRUE(WaitForRows(1));
    ASSERT_TRUE(Eventually([&] { return Control<QLineEdit>("Ed1")->text() == "10:20:00.0000"; }));
    TypeBib(Control<QLineEdit>("Edit5"), "12");
    EXPECT_EQ(db.Scalar("select midfin1 from result where zek = '0012'"), "10:20:00.0000");
    EXPECT_TRUE(Told().join('\n').contains("blocker")) << qPrintable(Told().join('\n'));
}

} // namespace
