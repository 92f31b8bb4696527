// Speed of one split assignment in the real timing window: bib + Enter, from the key press
// until the split is written and the pending panel and the three lists show the new state.
// Measured on a race of 50,000 competitors and 250,000 device times, and on one of 1,000
// competitors, each in a database of its own that is dropped at the end.
//
// It needs a running private server and its data sources:
//   scripts/localdb.sh start /tmp/bench-db
//   ODBCINI=/tmp/bench-db/odbc.ini QT_QPA_PLATFORM=offscreen build/bench/bench_split_speed
//   [presses] scripts/localdb.sh stop /tmp/bench-db
// presses (default 300) is the number of timed presses per race, after a few untimed ones.
// The exit status is 1 when a press was refused or failed, not when a target is missed.
#include "app/TarnikApplication.h"
#include "data/RaceInWork.h"
#include "data/Udm1.h"
#include "support/ModalAnswerer.h"
#include "support/TestDatabase.h"
#include "timing/Uhand.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int WarmUpPresses = 10;

struct RaceSize {
    int competitors;
    int pending; // device times still waiting for a bib; the rest are processed
};

struct Figures {
    double loadSeconds = 0;
    double medianMs = 0;
    double p99Ms = 0;
    double cpuMedianMs = 0; // the program's own work; the rest of a press waits for the server
};

struct Press {
    double ms;
    double cpuMs;
};

// SQL text of a time of day "HH:MM:SS.ffff" from an expression in milliseconds.
QString TimeOfDaySql(const QString& ms) {
    return QStringLiteral("concat(lpad(floor((%1) / 3600000), 2, '0'), ':', "
                          "lpad(floor((%1) / 60000) % 60, 2, '0'), ':', "
                          "lpad(floor((%1) / 1000) % 60, 2, '0'), '.', "
                          "lpad((%1) % 1000 * 10, 4, '0'))")
        .arg(ms);
}

// Split j of competitor i: 20 minutes apart, spread over 100 s by bib.
QString SplitMsSql(const QString& i, const QString& j) {
    return QStringLiteral("(%1 * 1200000 + (%2 % 1000) * 100)").arg(j, i);
}

QString ZekSql(const QString& i) {
    return QStringLiteral("if(%1 < 10000, lpad(%1, 4, '0'), %1)").arg(i);
}

// Every competitor has passed split points 1 and 2, and each press records split 3: at one
// timing point the split list stays on the same split from one bib to the next.
constexpr int SplitsPassed = 2;

void LoadCompetitors(const TestDatabase& db, int competitors) {
    QStringList columns;
    QStringList values;
    for (int j = 1; j <= SplitsPassed; ++j) {
        const QString split = SplitMsSql(QStringLiteral("seq"), QString::number(j));
        columns << QStringLiteral("midtime%1, midfin%1").arg(j);
        values << QStringLiteral("concat('   ', lpad(floor(%1 / 60000), 2, '0'), ':00.0'), %2")
                      .arg(split, TimeOfDaySql(QStringLiteral("32400000 + ") + split));
        if (j >= 2) {
            columns << QStringLiteral("midst%1").arg(j);
            values << QStringLiteral("'09:00:00.0000'");
        }
    }
    db.Exec(QStringLiteral("insert into result (tcode, zek, bib, class1, startedtime, %1) "
                           "select 'B1', %2, %2, 'M', '09:00:00.0000', %3 from seq_1_to_%4")
                .arg(columns.join(QStringLiteral(", ")), ZekSql(QStringLiteral("seq")),
                     values.join(QStringLiteral(", ")))
                .arg(competitors));
    db.Exec(QStringLiteral("insert into midjyun (tcode, bib, mtime, tod) "
                           "select 'B1', if(c.seq < 10000, substr(lpad(c.seq, 4, '0'), 2), c.seq), "
                           "'x', %1 from seq_1_to_%2 c join seq_1_to_%3 j")
                .arg(TimeOfDaySql(QStringLiteral("32400000 + ") +
                                  SplitMsSql(QStringLiteral("c.seq"), QStringLiteral("j.seq"))))
                .arg(competitors)
                .arg(SplitsPassed));
}

// Five device times per competitor in order of arrival: the processed ones between 09:00 and
// 10:45, then the pending ones from 11:00, 100 ms apart, well past every competitor's minimum.
void LoadDeviceTimes(const TestDatabase& db, const RaceSize& size) {
    const int stamps = 5 * size.competitors;
    const int processed = stamps - size.pending;
    const QString tm = TimeOfDaySql(QStringLiteral("if(seq <= %1, 32400000 + seq * 25, "
                                                   "39600000 + (seq - %1) * 100)")
                                        .arg(processed));
    db.Exec(QStringLiteral("insert into tdc_mid (tcode, dt, getstr, bib, st, tm, tstat, sumi) "
                           "select 'B1', timestampadd(second, seq, '2026-12-07 09:00:00'), "
                           "concat(' 0000 C1  ', %1, ' 00'), '0000', "
                           "if(seq <= %2 and seq % 100 = 0, 'C0', 'C1'), %1, ' ', "
                           "if(seq > %2, '0', if(seq % 50 = 0, '2', '1')) from seq_1_to_%3")
                .arg(tm)
                .arg(processed)
                .arg(stamps));
}

void LoadRace(const TestDatabase& db, const RaceSize& size) {
    db.Exec("insert into execinfo (num, tcode, updx, stat) values (1, 'B1', 0, '')");
    db.Exec("insert into tiki (tcode, syumoku, TIKIMEI) values ('B1', '01', 'bench')");
    db.Exec("insert into env (tcode, class, lapn, RELAYN) values ('B1', 'M', 5, 0)");
    LoadCompetitors(db, size.competitors);
    LoadDeviceTimes(db, size);
    db.Exec("analyze table result, tdc_mid, midjyun");
}

// Distinct competitors for the presses (7919 is a prime that divides neither race size).
int BibOfPress(int press, int competitors) {
    return 1 + static_cast<int>((static_cast<long long>(press) * 7919) % competitors);
}

double ThreadCpuMs() {
    timespec used{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return used.tv_sec * 1e3 + used.tv_nsec / 1e6;
}

Press TimedPress(TFhand& window, int bib) {
    window.Edit5->selectAll();
    QTest::keyClicks(window.Edit5, QString::number(bib));
    QElapsedTimer timer;
    const double cpuBefore = ThreadCpuMs();
    timer.start();
    QTest::keyClick(window.Edit5, Qt::Key_Return);
    QCoreApplication::processEvents();
    return {timer.nsecsElapsed() / 1e6, ThreadCpuMs() - cpuBefore};
}

double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<size_t>(std::ceil(fraction * values.size()));
    return values[std::max<size_t>(rank, 1) - 1];
}

Figures MeasureRace(const RaceSize& size, int presses, const QStringList& errors, bool& sound) {
    Figures figures;
    TestDatabase db;
    QElapsedTimer loading;
    loading.start();
    LoadRace(db, size);
    figures.loadSeconds = loading.elapsed() / 1000.0;

    TDm1 dm(nullptr, db.Name());
    TFhand window;
    const RaceInWork race = OpenRaceInWork(dm);
    window.PageControl1->setCurrentWidget(window.TabSheet1);
    window.setWindowTitle(race.Caption);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "the window was not exposed\n");
    window.activateWindow();
    QCoreApplication::processEvents();

    ModalAnswerer answers;
    const QString passingsBefore = db.Scalar("select count(*) from midjyun");
    std::vector<double> times;
    std::vector<double> cpuTimes;
    for (int press = 0; press < WarmUpPresses + presses; ++press) {
        const Press timed = TimedPress(window, BibOfPress(press, size.competitors));
        if (press >= WarmUpPresses) {
            times.push_back(timed.ms);
            cpuTimes.push_back(timed.cpuMs);
        }
    }
    const int written = db.Scalar("select count(*) from midjyun").toInt() - passingsBefore.toInt();
    if (written != WarmUpPresses + presses || !answers.Texts().isEmpty() || !errors.isEmpty()) {
        std::fprintf(stderr, "%d splits written for %d presses; messages: %s; errors: %s\n",
                     written, WarmUpPresses + presses, qPrintable(answers.Texts().join(" / ")),
                     qPrintable(errors.join(" / ")));
        sound = false;
    }
    figures.medianMs = Percentile(times, 0.5);
    figures.p99Ms = Percentile(times, 0.99);
    figures.cpuMedianMs = Percentile(cpuTimes, 0.5);
    return figures;
}

void PrintFigures(const char* name, const Figures& figures) {
    std::printf("%-28s %10.2f %10.2f %10.2f %10.1f\n", name, figures.medianMs, figures.p99Ms,
                figures.cpuMedianMs, figures.loadSeconds);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dataHome; // the windows' stamp journal, apart from a real run's
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    TarnikApplication app(argc, argv);
    QStringList errors;
    app.SetErrorDialog([&errors](const QString& message) { errors.append(message); });
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;

    bool sound = true;
    const Figures large = MeasureRace({50'000, 2'000}, presses, errors, sound);
    const Figures small = MeasureRace({1'000, 400}, presses, errors, sound);

    std::printf(
        "bib + Enter, %d presses per race       median ms     p99 ms  cpu ms(*)     load s\n",
        presses);
    PrintFigures("50,000 competitors", large);
    PrintFigures("1,000 competitors", small);
    std::printf("(*) median time the program itself worked; the rest it waited for the server\n");
    std::printf("large / small: median %.2f, p99 %.2f\n", large.medianMs / small.medianMs,
                large.p99Ms / small.p99Ms);
    std::printf("targets at 50,000 (median <= 8 ms, p99 <= 15 ms, median <= 1.2 x small): %s\n",
                large.medianMs <= 8 && large.p99Ms <= 15 && large.medianMs <= 1.2 * small.medianMs
                    ? "met"
                    : "missed");
    return sound ? 0 : 1;
}
