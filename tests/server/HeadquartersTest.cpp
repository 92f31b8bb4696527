// The race at headquarters: a server prepared by tarnikmid-server, reached by each workstation
// with its own account through TLS, as the connection settings keep it. Two workstations, one
// behind a slow link, time the same race and each stamp goes to its runner once; a workstation
// started while the server is down times from its copy, everything reaches the server once it
// is up, and the export command as installed reads it from there.
#include "tests/timing/ReplayFixture.h"

#include "app/DatabaseChoice.h"
#include "common/ProgramFiles.h"
#include "common/uComm.h"
#include "data/sql/ConnectionSettings.h"
#include "support/DataSourceFile.h"
#include "support/RaceServer.h"
#include "support/SecondWorkstationProcess.h"
#include "timing/widgets/StatusStrip.h"
#include "tools/DelayProxy.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int Runners = 60;

// The rows of a result of RootSql, columns split by tabs.
QList<QStringList> RowsOf(const QString& result) {
    QList<QStringList> rows;
    for (const QString& line : result.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        rows << line.split(QLatin1Char('\t'));
    return rows;
}

// Writes the race server's data source into `file` as the connection settings keep it.
void KeepServerConnection(const QString& file, const RaceServer& server, int port,
                          const RaceServer::Account& account) {
    ConnectionSettings(file).Save(
        ServerChoice::Server,
        {"127.0.0.1", port, server.Database(), account.user, account.password, server.CaFile()});
}

// The fixture's database on the shared test server stays unused: the race is at headquarters,
// and this workstation (account ws1) reaches it as the program's Server choice does.
class Headquarters : public Replay {
protected:
    void SetUp() override {
        Replay::SetUp();
        ASSERT_TRUE(server.Started()) << qPrintable(server.Problem());
        LayOutTheRace();
        ASSERT_EQ(Scalar("select count(*) from result"), QString::number(Runners));
        KeepServerConnection(DefaultDataSourceFilePath(), server, server.Port(),
                             server.Workstation("ws1"));
        PointOdbcIniAt(DefaultDataSourceFilePath().toLocal8Bit(), scratch.filePath("odbc.ini"));
        StartOnTheServer();
    }
    void TearDown() override {
        Replay::TearDown();
        PointOdbcIniAt(savedOdbcIni, scratch.filePath("odbc.ini"));
    }

    void LayOutTheRace() const {
        QString sql = "insert into tiki (tcode,syumoku,TIKIMEI) values ('R1','01','本部大会');"
                      "insert into env (tcode,class,lapn,RELAYN) values ('R1','M',2,0);"
                      "insert into execinfo (num,tcode,updx,stat) values (1,'R1',0,'');";
        for (int bib = 1; bib <= Runners; ++bib)
            sql += QStringLiteral("insert into result (tcode,zek,bib,class1,startedtime) values "
                                  "('R1','%1','%1','M','09:00:00.0000');")
                       .arg(FormatBib4(bib));
        server.RootSql(sql);
    }
    // The program starts on the Server choice: its data module made unconnected, and the
    // window opened from the server, or from the copy while the server does not answer.
    void StartOnTheServer() {
        window.reset();
        dm.reset();
        dm = std::make_unique<TDm1>(nullptr, QString(), TDm1::Opening::Later);
        dm->DB.Params = ConnectionParams(2);
        OpenWindowWithCopies();
    }

    QString Scalar(const QString& sql) const { return server.RootSql(sql).trimmed(); }
    QString DatabaseField() const {
        return Control<StatusStrip>("StatusStrip")->Shown(StatusStrip::Field::Database).text;
    }
    int AppliedHere() const {
        int applied = 0;
        for (const OperatorAction& action : window->Actions().Actions())
            applied += action.progress == OperatorAction::Progress::Applied;
        return applied;
    }

    RaceServer server{{"ws1", "ws2"}};
    const QByteArray savedOdbcIni = qgetenv("ODBCINI");
    QTemporaryDir scratch;
};

TEST_F(Headquarters, TwoWorkstationsOneFarAwayTimeTheRaceThroughTlsEachStampOnce) {
    constexpr int Passings = 12;
    // Who writes: the server's log of statements, read at the end.
    server.RootSql("set global log_output = 'TABLE'; set global general_log = 1;");
    // The far one behind 50 ms each way, with its own account, settings and folder.
    DelayProxy link("127.0.0.1", quint16(server.Port()), 50);
    QTemporaryDir farHome;
    const QString farSources = farHome.filePath("db/odbc.ini");
    KeepServerConnection(farSources, server, link.Start(), server.Workstation("ws2"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TARNIK_HOME", farHome.path());
    environment.insert("ODBCINI", farSources);
    SecondWorkstationProcess far;
    ASSERT_TRUE(far.Start(SECOND_WORKSTATION_PATH,
                          {server.Database(), DataSourceNameOf(ServerChoice::Server)}, environment))
        << qPrintable(far.Said());

    std::map<QString, QString> truth;
    for (int k = 0; k < Passings; ++k) {
        const int bib = (k * 5) % Passings + 1;
        passings.push_back({TimeOfDay(9 * 3600 + 1200 + k * 4), {QString::number(bib)}});
        truth[FormatBib4(bib)] = passings.back().time;
    }
    // Both volunteers type each bib once both panels show its time, the far one up to
    // 200 ms before or 100 ms after.
    OperatorHands::SetAfterEach({});
    const int farEarlierMs[] = {200, 100, 50, 0, -50, -100};
    for (int k = 0; k < Passings; ++k) {
        SendUpTo(k);
        WaitForBox(0, passings[k].time);
        far.WaitForHead(passings[k].time);
        ASSERT_FALSE(HasFatalFailure()) << "at passing " << k;
        const int early = farEarlierMs[k % 6];
        if (early > 0) {
            far.Tell(passings[k].bibs[0]);
            QTest::qWait(early);
        }
        TypeOne(k);
        if (early <= 0) {
            QTest::qWait(-early);
            far.Tell(passings[k].bibs[0]);
        }
        QTest::qWait(300); // the next runner
    }
    ASSERT_TRUE(Eventually([&] { return window->UnsentCount() == 0; }, 30000));
    ASSERT_TRUE(far.Reported(60000)) << qPrintable(far.Said());

    const int appliedFar = far.SaidAfter("applied").value(0).toInt();
    std::printf("headquarters: %d passings; near applied %d, told %lld; far applied %d, told "
                "%lld\n",
                Passings, AppliedHere(), (long long)Told().size(), appliedFar,
                (long long)far.SaidAfter("told").size());
    QList<QStringList> expected;
    for (const auto& [zek, time] : truth)
        expected << QStringList{zek, time};
    EXPECT_EQ(RowsOf(server.RootSql("select zek, midfin1 from result where midfin1 <> '' "
                                    "order by zek")),
              expected);
    EXPECT_EQ(Scalar("select count(*) from midjyun"), QString::number(Passings));
    EXPECT_EQ(Scalar("select count(*) from tdc_mid where sumi = '1'"), QString::number(Passings));
    // Each stamp taken by one or the other; the second is refused and told.
    EXPECT_GT(appliedFar, 0) << "the far workstation never came first\n" << qPrintable(far.Said());
    EXPECT_EQ(AppliedHere() + appliedFar, Passings);
    EXPECT_EQ(far.SaidAfter("typed").size(), Passings);
    EXPECT_GE(Told().size(), Passings - AppliedHere()) << qPrintable(Told().join('\n'));
    EXPECT_GE(far.SaidAfter("told").size(), Passings - appliedFar) << qPrintable(far.Said());
    EXPECT_TRUE(far.SaidAfter("error").isEmpty()) << qPrintable(far.Said());
    EXPECT_TRUE(answers.Texts().isEmpty()) << qPrintable(answers.Texts().join('\n'));
    // Each workstation connected through TLS with its own account, and the race was written by
    // those two accounts alone (root is the test's own reading).
    EXPECT_EQ(RowsOf(server.RootSql(
                  "select distinct convert(argument using utf8mb4) from mysql.general_log "
                  "where command_type = 'Connect' and argument not like 'root@%' order by 1")),
              QList<QStringList>({{"ws1@localhost on tarnik using SSL/TLS"},
                                  {"ws2@localhost on tarnik using SSL/TLS"}}));
    EXPECT_EQ(RowsOf(server.RootSql(
                  "select distinct substring_index(user_host, '[', 1) from mysql.general_log "
                  "where user_host not like 'root%' and lower(convert(argument using utf8mb4)) "
                  "regexp '(insert into|update|delete from) (tdc_mid|result|midjyun)' "
                  "order by 1")),
              QList<QStringList>({{"ws1"}, {"ws2"}}));
}

QString TimeOf(int second) {
    return QStringLiteral("10:%1:%2.0000")
        .arg(second / 60, 2, 10, QLatin1Char('0'))
        .arg(second % 60, 2, 10, QLatin1Char('0'));
}

TEST_F(Headquarters, AWorkstationStartedWhileTheServerIsDownTimesFromItsCopyAndTheExportReadsIt) {
    // Before the outage: two stamps, the first taken by 0001; the second is still pending.
    Send(StampLine(" ", 1, "C1", "10:00:00.0000") + StampLine(" ", 2, "C1", "10:00:01.0000"));
    WaitForBox(0, "10:00:00.0000");
    Enter("1");
    WaitForBox(0, "10:00:01.0000");

    const QString readBefore = QTime::currentTime().toString("HH:mm");
    window.reset();
    dm.reset();
    ASSERT_TRUE(server.Stop()) << qPrintable(server.Problem());
    QElapsedTimer opening;
    opening.start();
    StartOnTheServer();
    const qint64 openedMs = opening.elapsed();
    const QString readAfter = QTime::currentTime().toString("HH:mm");
    EXPECT_EQ(window->windowTitle(), "R1  本部大会");
    EXPECT_TRUE(DatabaseField().contains("オフライン（" + readBefore + " の控え）") ||
                DatabaseField().contains("オフライン（" + readAfter + " の控え）"))
        << qPrintable(DatabaseField());

    // 100 stamps and 50 bibs while the server is away; the first bib takes the kept time.
    QByteArray lines;
    for (int k = 1; k <= 100; ++k)
        lines += StampLine(" ", 100 + k, "C1", TimeOf(60 + k).toLatin1().constData());
    Send(lines);
    ASSERT_TRUE(Eventually([&] { return UnsavedText() == "未保存 100 件"; }, 20000))
        << qPrintable(UnsavedText());
    window->activateWindow();
    QList<QStringList> expected = {{"0001", "10:00:00.0000"}, {"0002", "10:00:01.0000"}};
    WaitForBox(0, "10:00:01.0000");
    Enter("2");
    for (int k = 1; k <= 49; ++k) {
        WaitForBox(0, TimeOf(60 + k));
        Enter(QString::number(2 + k));
        expected << QStringList{FormatBib4(2 + k), TimeOf(60 + k)};
    }
    EXPECT_EQ(window->UnsentCount(), 50);

    QElapsedTimer back;
    back.start();
    ASSERT_TRUE(server.Start()) << qPrintable(server.Problem());
    const qint64 startedMs = back.restart();
    ASSERT_TRUE(
        Eventually([&] { return window->UnsentCount() == 0 && UnsavedText().isEmpty(); }, 60000))
        << qPrintable(DatabaseField());
    std::printf("headquarters offline start: window opened from its copy in %lld ms; server "
                "started in %lld ms, everything stored %lld ms after\n",
                openedMs, startedMs, back.elapsed());
    EXPECT_TRUE(Eventually([&] { return !DatabaseField().contains("オフライン"); }))
        << qPrintable(DatabaseField());
    EXPECT_EQ(RowsOf(server.RootSql("select zek, midfin1 from result where midfin1 <> '' "
                                    "order by zek")),
              expected);
    EXPECT_EQ(Scalar("select count(*) from tdc_mid"), "102");
    EXPECT_EQ(Scalar("select count(distinct tm) from tdc_mid"), "102");
    EXPECT_EQ(Scalar("select count(*) from midjyun"), "51");
    EXPECT_EQ(Scalar("select count(*) from tdc_mid where sumi = '0'"), "51");
    // Nothing was refused: what was said is the server's absence alone.
    for (const QString& line : Told())
        EXPECT_TRUE(line.contains("Can't connect")) << qPrintable(line);

    // The export as a user runs it after installing: no ODBCINI, the program's folder.
    QProcess exportTool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("ODBCINI");
    environment.insert("TARNIK_HOME", dataHome.filePath("tarnikmid"));
    exportTool.setProcessEnvironment(environment);
    exportTool.start(TARNIKMID_EXPORT_PATH, {"--dsn", DataSourceNameOf(ServerChoice::Server),
                                             "--race", "R1", "--split", "1"});
    ASSERT_TRUE(exportTool.waitForFinished(30000));
    EXPECT_EQ(exportTool.exitCode(), 0) << exportTool.readAllStandardError().constData();
    QList<QStringList> exported;
    const QStringList csv = QString::fromUtf8(exportTool.readAllStandardOutput())
                                .split("\r\n", Qt::SkipEmptyParts)
                                .mid(1);
    // The bib comes as the text formula that keeps its zeros in a spreadsheet: "=""0001""".
    for (const QString& row : csv)
        exported << QStringList{row.section(',', 0, 0).remove('"').remove('='),
                                row.section(',', 5, 5)};
    EXPECT_EQ(exported, expected);
}

} // namespace
