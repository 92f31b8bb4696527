// tarnikmid-export run as the user runs it, against a race on the server: the passings in
// passing order with dead heats, class orders and the cut-off, the runners still expected,
// both encodings, bibs and formula-like texts kept as text, and refusals.
#include "support/TestDatabase.h"

#include <QDir>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int status = -1;
    QByteArray out;
    QString errors;
};

class SplitPointExport : public testing::Test {
protected:
    void SetUp() override {
        db.Exec("insert into tiki (tcode,syumoku,TIKIMEI) values ('R1','01','試走'),"
                "('R2','01','別の大会')");
        db.Exec("insert into env (tcode,class,lapn) values ('R1','男子,一般',2),('R1','5K',1)");
        db.Exec("insert into result (tcode,zek,bib,class1,startedtime,midtime1,midfin1) values "
                "('R1','0003','3','男子,一般','09:00:00.0000','   20:00.0','09:20:00.0000'),"
                "('R1','0001','A\"1','男子,一般','09:00:00.0000','   25:00.0','09:25:00.0000'),"
                "('R1','0002','2','男子,一般','09:00:00.0000','',''),"
                "('R1','0004','4','5K','09:10:00.0000','    5:00.0','09:15:00.0000')");
        db.Exec("insert into execinfo (num,tcode) values (1,'R1')");
    }

    ToolRun Export(
        const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) const {
        const QString dsn = qEnvironmentVariable("TARNIK_TEST_DSN", "TarnikLocal");
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start(TARNIKMID_EXPORT_PATH,
                   QStringList{"--dsn", dsn, "--database", db.Name()} + arguments);
        EXPECT_TRUE(tool.waitForFinished(30000));
        return {tool.exitCode(), tool.readAllStandardOutput(),
                QString::fromLocal8Bit(tool.readAllStandardError())};
    }

    TestDatabase db;
};

TEST_F(SplitPointExport, WritesThePassingsInPassingOrderInEitherEncoding) {
    // Bibs as text formulas, so that a spreadsheet keeps 0004 and not 4.
    const QString passings =
        "ビブNo.,登録ビブNo.,クラス,中間,タイム,時刻,順位,クラス内順位,同着,関門後\r\n"
        "\"=\"\"0004\"\"\",\"=\"\"4\"\"\",5K,1,5:00.0,09:15:00.0000,1,1,,\r\n"
        "\"=\"\"0003\"\"\",\"=\"\"3\"\"\",\"男子,一般\",1,20:00.0,09:20:00.0000,2,1,,\r\n"
        "\"=\"\"0001\"\"\",\"=\"\"A\"\"\"\"1\"\"\",\"男子,一般\",1,25:00.0,09:25:00.0000,3,2,,\r\n";
    // The race in work by default; UTF-8 behind a byte-order mark on standard output.
    const ToolRun utf8 = Export({"--split", "1"});
    EXPECT_EQ(utf8.status, 0) << qPrintable(utf8.errors);
    EXPECT_EQ(utf8.out, "\xEF\xBB\xBF" + passings.toUtf8());

    QTemporaryDir dir;
    const QString file = dir.filePath("split1.csv");
    const ToolRun sjis = Export({"--race", "R1", "--split", "1", "--sjis", "--out", file});
    EXPECT_EQ(sjis.status, 0) << qPrintable(sjis.errors);
    EXPECT_TRUE(sjis.out.isEmpty());
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    EXPECT_TRUE(bytes.contains("\x92\x6A\x8E\x71")); // 男子 in Shift-JIS
    QStringDecoder shiftJis("Shift_JIS");
    EXPECT_EQ(QString(shiftJis.decode(bytes)), passings);
}

TEST_F(SplitPointExport, DeadHeatsShareTheirOrderEachClassCountsItsOwnAndLateOnesAreMarked) {
    // 0005 took 0003's time as a dead heat; a bib and a class a spreadsheet would take for
    // formulas.
    db.Exec("insert into result (tcode,zek,bib,class1,startedtime,midtime1,midfin1) values "
            "('R1','0005','=1+2','男子,一般','09:00:00.0000','   20:00.0','09:20:00.0000'),"
            "('R1','0006','6','-10K','09:00:00.0000','   30:00.0','09:30:00.0000')");
    const ToolRun run = Export({"--split", "1", "--header", "en", "--cutoff", "9:20"});
    EXPECT_EQ(run.status, 0) << qPrintable(run.errors);
    ASSERT_TRUE(run.out.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(run.out.mid(3)).split("\r\n");
    EXPECT_EQ(
        lines.mid(0, 7),
        QStringList({
            "zek,bib,class,split,split_time,time_of_day,order,class_order,dead_heat,"
            "after_cutoff",
            "\"=\"\"0004\"\"\",\"=\"\"4\"\"\",5K,1,5:00.0,09:15:00.0000,1,1,,",
            // Exactly at the cut-off is in time.
            "\"=\"\"0003\"\"\",\"=\"\"3\"\"\",\"男子,一般\",1,20:00.0,09:20:00.0000,2,1,同着,",
            "\"=\"\"0005\"\"\",\"=\"\"=1+2\"\"\",\"男子,一般\",1,20:00.0,09:20:00.0000,2,1,同着,",
            "\"=\"\"0001\"\"\",\"=\"\"A\"\"\"\"1\"\"\",\"男子,一般\",1,25:00.0,09:25:00.0000,4,3,,"
            "関門後",
            "\"=\"\"0006\"\"\",\"=\"\"6\"\"\",\"=\"\"-10K\"\"\",1,30:00.0,09:30:00.0000,5,1,,"
            "関門後",
            "",
        }));
}

TEST_F(SplitPointExport, ListsTheRunnersStillExpectedWithWhenTheyShouldPass) {
    const ToolRun run = Export({"--race", "R1", "--split", "1", "--not-passed"});
    EXPECT_EQ(run.status, 0) << qPrintable(run.errors);
    // The median of the class's 20 and 25 minutes.
    EXPECT_EQ(run.out, "\xEF\xBB\xBF"
                       "ビブNo.,クラス,最終中間,最終通過時刻,通過予想時刻\r\n"
                       "\"=\"\"0002\"\"\",\"男子,一般\",0,09:00:00.0000,09:22:30.0000\r\n");
    const ToolRun english = Export({"--split", "1", "--not-passed", "--header", "en"});
    EXPECT_TRUE(english.out.contains("zek,class,last_split,last_passing,expected_at\r\n"));
}

TEST_F(SplitPointExport, ReadsTheProgramsDataSourcesWhenStartedWithoutTheLauncher) {
    // No ODBCINI: the data sources of the program's folder, as the launcher keeps them
    // (and none in the home folder's own file).
    QTemporaryDir home;
    ASSERT_TRUE(QDir(home.path()).mkpath("db"));
    ASSERT_TRUE(QFile::copy(qEnvironmentVariable("ODBCINI"), home.filePath("db/odbc.ini")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("ODBCINI");
    environment.insert("HOME", home.path());
    environment.insert("TARNIK_HOME", home.path());
    const ToolRun run = Export({"--race", "R1", "--split", "1"}, environment);
    EXPECT_EQ(run.status, 0) << qPrintable(run.errors);
    EXPECT_TRUE(run.out.contains("5K,1,5:00.0,09:15:00.0000,1,1,,\r\n"));
}

TEST_F(SplitPointExport, RefusesAnUnknownRaceOrSplitSayingWhyWithStatusTwo) {
    const QList<std::pair<QStringList, QString>> refused = {
        {{"--race", "R9", "--split", "1"}, "大会コード「R9」の大会はありません。"},
        {{"--race", "R1", "--split", "3"}, "大会「R1」に中間3 はありません"},
        {{"--race", "R2", "--split", "1"}, "大会「R2」には中間のある種目がありません。"},
        {{"--race", "R1"}, "中間番号を --split で指定してください"},
        {{"--race", "R1", "--split", "6"}, "中間番号「6」は指定できません。"},
        {{"--split", "1", "--cutoff", "25:00"}, "関門時刻「25:00」は指定できません。"},
        {{"--split", "1", "--header", "fr"}, "見出し「fr」は指定できません。"},
    };
    for (const auto& [arguments, message] : refused) {
        const ToolRun run = Export(arguments);
        EXPECT_EQ(run.status, 2) << qPrintable(arguments.join(' '));
        EXPECT_TRUE(run.errors.contains(message)) << qPrintable(run.errors);
        EXPECT_TRUE(run.out.isEmpty());
    }
}

} // namespace
