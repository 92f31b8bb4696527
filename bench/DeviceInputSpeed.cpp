// Speed of timing-device input in the real timing window: from the carriage return of a stamp
// line written into a pseudo-terminal, through the serial component, the journal and the
// insert, until the pending-time panel shows its time. Then a burst of 1,000 lines written
// back to back, counted in tdc_mid afterwards. Last, 20 lines a second for 20 s with the
// server paused (SIGSTOP) for the middle 10 s: the longest time the GUI thread was held up,
// and the stamps stored. The race has 50,000 competitors and 250,000 device times, in a
// database of its own that is dropped at the end.
//
// It needs a running private server and its data sources:
//   scripts/localdb.sh start /tmp/bench-db
//   ODBCINI=/tmp/bench-db/odbc.ini QT_QPA_PLATFORM=offscreen build/bench/bench_device_input
//   [lines] scripts/localdb.sh stop /tmp/bench-db
// lines (default 300) is the number of timed lines, after a few untimed ones. The exit status
// is 1 when a stamp was lost, stored twice or an error shown, not when a target is missed.
// The server to pause is the one whose mysqld.pid lies beside ODBCINI.
#include "app/TarnikApplication.h"
#include "common/uComm.h"
#include "data/RaceInWork.h"
#include "data/Udm1.h"
#include "serial/PortNames.h"
#include "support/TestDatabase.h"
#include "support/WindowControls.h"
#include "timing/Uhand.h"
#include "tools/DeviceLine.h"
#include "tools/LineOutput.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr int Competitors = 50'000;
constexpr int DeviceTimes = 250'000;
constexpr int StillPending = 5; // of the loaded device times
constexpr int WarmUpLines = 10;
constexpr int BurstLines = 1'000;
constexpr int BurstFirstLine = 100'000; // its times follow every timed line's
constexpr int DevicePort = 300;         // beyond every device family: the override names it
constexpr int PausedRunLines = 400;     // 20 a second for 20 s
constexpr int PausedRunLineMs = 50;
constexpr int PauseFromMs = 5'000;
constexpr int PauseForMs = 10'000;
constexpr int PausedRunFirstLine = 200'000;
constexpr int TickMs = 5; // the GUI thread's pulse while the server is paused

void LoadRace(const TestDatabase& db) {
    db.Exec("alter table tdc_mid add column if not exists jid varchar(40) null, "
            "add unique key if not exists tdc_mid_jid (jid)");
    db.Exec("insert into execinfo (num, tcode, updx, stat) values (1, 'D1', 0, '')");
    db.Exec("insert into tiki (tcode, syumoku, TIKIMEI) values ('D1', '01', 'device bench')");
    db.Exec("insert into env (tcode, class, lapn, RELAYN) values ('D1', 'M', 5, 0)");
    db.Exec("insert into result (tcode, zek, bib, class1, startedtime) "
            "select 'D1', lpad(seq, 4, '0'), seq, 'M', '08:00:00.0000' "
            "from seq_1_to_50000");
    // A stamp every 20 ms from 08:00, all but the last few assigned or discarded.
    db.Exec(
        QStringLiteral("insert into tdc_mid (tcode, dt, getstr, bib, st, tm, tstat, sumi) "
                       "select 'D1', timestampadd(second, seq div 50, '2026-12-07 08:00:00'), '', "
                       "lpad(seq mod 10000, 4, '0'), 'C1', "
                       "left(date_format(timestampadd(microsecond, seq * 20000, "
                       "'2026-12-07 08:00:00'), '%H:%i:%s.%f'), 13), ' ', "
                       "if(seq > %1, '0', if(seq mod 7 = 0, '2', '1')) from seq_1_to_%2")
            .arg(DeviceTimes - StillPending)
            .arg(DeviceTimes));
    db.Exec("analyze table result, tdc_mid");
}

// Line k of a run, timed from noon, 100 ms apart.
QByteArray StampLine(int k) {
    const qint64 noon = 12 * 3600 * kTicksPerSecond;
    return FormatDeviceLine({.number = k % 10000, .timeOfDay = noon + k * kTicksPerSecond / 10});
}

bool PanelShows(const QList<QLineEdit*>& panel, const QString& time) {
    return std::any_of(panel.begin(), panel.end(),
                       [&](const QLineEdit* box) { return box->text() == time; });
}

// Milliseconds from the moment the line has been written until the panel shows its time;
// negative when it never does.
double LineToPanelMs(LineOutput& line, const QList<QLineEdit*>& panel, int k) {
    const QByteArray bytes = StampLine(k);
    const QString time = QString::fromLatin1(bytes.mid(10, 13));
    QElapsedTimer timer;
    line.Send(bytes);
    timer.start();
    while (!PanelShows(panel, time)) {
        if (timer.elapsed() > 5000)
            return -1;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return timer.nsecsElapsed() / 1e6;
}

void SignalServer(int signal) {
    QFile pidFile(QFileInfo(qEnvironmentVariable("ODBCINI")).dir().filePath("mysqld.pid"));
    if (pidFile.open(QIODevice::ReadOnly))
        ::kill(pidFile.readAll().trimmed().toInt(), signal);
}

struct PausedRun {
    double longestBlockMs = 0;
    int stored = 0;
    int distinct = 0;
};

// Lines at 20 a second with the server paused in the middle; the GUI thread's pulse is
// watched meanwhile, and no statement of the bench's own runs until the server is back.
PausedRun RunWithServerPaused(LineOutput& line, const TestDatabase& db) {
    const int before = db.Scalar("select count(*) from tdc_mid").toInt();
    PausedRun run;
    QElapsedTimer sincePulse;
    QTimer pulse;
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        run.longestBlockMs = std::max(run.longestBlockMs, sincePulse.nsecsElapsed() / 1e6 - TickMs);
        sincePulse.restart();
    });
    sincePulse.start();
    pulse.start(TickMs);
    std::thread writer([&] {
        for (int k = 0; k < PausedRunLines; ++k) {
            line.Send(StampLine(PausedRunFirstLine + k));
            std::this_thread::sleep_for(std::chrono::milliseconds(PausedRunLineMs));
        }
    });
    QTest::qWait(PauseFromMs);
    SignalServer(SIGSTOP);
    QTest::qWait(PauseForMs);
    SignalServer(SIGCONT);
    QTest::qWait(PausedRunLines * PausedRunLineMs - PauseFromMs - PauseForMs);
    writer.join();
    pulse.stop();
    QElapsedTimer draining;
    draining.start();
    while (run.stored < PausedRunLines && draining.elapsed() < 60'000) {
        QTest::qWait(100);
        run.stored = db.Scalar("select count(*) from tdc_mid").toInt() - before;
    }
    QTest::qWait(1500); // a retry, had any been due, would show a double now
    run.stored = db.Scalar("select count(*) from tdc_mid").toInt() - before;
    const QString firstTime = QString::fromLatin1(StampLine(PausedRunFirstLine).mid(10, 13));
    run.distinct =
        db.Scalar("select count(distinct tm) from tdc_mid where tm >= '" + firstTime + "'").toInt();
    return run;
}

double Rank(std::vector<double> values, double fraction) {
    const auto index = std::min(values.size() - 1, static_cast<size_t>(fraction * values.size()));
    std::nth_element(values.begin(), values.begin() + index, values.end());
    return values[index];
}

} // namespace

int main(int argc, char** argv) {
    const int lines = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TarnikApplication app(argc, argv);
    QTemporaryDir dataHome; // the stamp journal's folder
    qputenv("TARNIK_HOME", dataHome.path().toUtf8());
    QStringList errors;
    app.SetErrorDialog([&errors](const QString& message) { errors.append(message); });
    TestDatabase db;
    QElapsedTimer loading;
    loading.start();
    LoadRace(db);
    const double loadSeconds = loading.elapsed() / 1000.0;

    TDm1 dm(nullptr, db.Name());
    LineOutput line = LineOutput::OpenPseudoTerminal(2400);
    SetPortPathOverride(DevicePort, line.Path());
    uComm::DevicePortNo = DevicePort;
    TFhand window; // on the lap page, where it opens
    OpenRaceInWork(dm);
    window.show();
    const QList<QLineEdit*> panel = PanelBoxes(window);
    line.WaitForReader();
    QTimer wake; // the wait for the panel looks at least this often
    wake.start(100);

    std::vector<double> times;
    int unseen = 0;
    for (int k = 0; k < WarmUpLines + lines; ++k) {
        const double ms = LineToPanelMs(line, panel, k);
        if (ms < 0)
            ++unseen;
        else if (k >= WarmUpLines)
            times.push_back(ms);
        // The operator's part, untimed: the stamp is taken, so the panel stays short.
        db.Exec("update tdc_mid set sumi = '2' where jid is not null and sumi = '0'");
    }

    const int before = db.Scalar("select count(*) from tdc_mid").toInt();
    QElapsedTimer burst;
    burst.start();
    std::thread writer([&] {
        for (int k = 0; k < BurstLines; ++k)
            line.Send(StampLine(BurstFirstLine + k));
    });
    int stored = 0;
    while (stored < BurstLines && burst.elapsed() < 120'000) {
        QTest::qWait(20);
        stored = db.Scalar("select count(*) from tdc_mid").toInt() - before;
    }
    const double burstSeconds = burst.elapsed() / 1000.0;
    writer.join();
    QTest::qWait(1500); // a retry, had any been due, would show a double now
    stored = db.Scalar("select count(*) from tdc_mid").toInt() - before;
    const QString firstBurstTime = QString::fromLatin1(StampLine(BurstFirstLine).mid(10, 13));
    const int distinct =
        db.Scalar("select count(distinct tm) from tdc_mid where tm >= '" + firstBurstTime + "'")
            .toInt();
    const PausedRun paused = RunWithServerPaused(line, db);

    std::printf("race: %d competitors, %d device times, loaded in %.1f s\n", Competitors,
                DeviceTimes, loadSeconds);
    if (!times.empty())
        std::printf("CR written to time shown in Ed1..Ed10, %d lines: median %.2f ms, "
                    "p99 %.2f ms (targets 10 / 30 ms: %s)\n",
                    int(times.size()), Rank(times, 0.5), Rank(times, 0.99),
                    Rank(times, 0.5) < 10 && Rank(times, 0.99) < 30 ? "met" : "missed");
    std::printf("burst of %d lines back to back: %d rows stored (%d distinct) in %.1f s\n",
                BurstLines, stored, distinct, burstSeconds);
    std::printf("%d lines at 20/s, server paused %d s: GUI thread held up at most %.0f ms "
                "(target 200 ms: %s); %d rows stored (%d distinct)\n",
                PausedRunLines, PauseForMs / 1000, paused.longestBlockMs,
                paused.longestBlockMs <= 200 ? "met" : "missed", paused.stored, paused.distinct);
    const bool sound = unseen == 0 && stored == BurstLines && distinct == BurstLines &&
                       paused.stored == PausedRunLines && paused.distinct == PausedRunLines &&
                       errors.isEmpty() && FindControl<QLabel>(window, "Labunsaved")->isHidden();
    if (!sound)
        std::fprintf(stderr, "lines never shown: %d; errors: %s\n", unseen,
                     qPrintable(errors.join(" / ")));
    ClearPortPathOverrides();
    return sound ? 0 : 1;
}
