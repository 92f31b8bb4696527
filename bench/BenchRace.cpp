#include "BenchRace.h"

#include "app/TarnikApplication.h"

#include "data/RaceInWork.h"
#include "data/Udm1.h"
#include "support/TestDatabase.h"
#include "timing/Uhand.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {

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

} // namespace

BenchApplication::BenchApplication(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TARNIK_HOME", dataHome_.path().toUtf8());
    app_ = std::make_unique<TarnikApplication>(argc, argv);
    app_->SetErrorDialog([this](const QString& message) { errors.append(message); });
}

BenchApplication::~BenchApplication() = default;

void LoadRace(const TestDatabase& db, const RaceSize& size) {
    db.Exec("insert into execinfo (num, tcode, updx, stat) values (1, 'B1', 0, '')");
    db.Exec("insert into tiki (tcode, syumoku, TIKIMEI) values ('B1', '01', 'bench')");
    db.Exec("insert into env (tcode, class, lapn, RELAYN) values ('B1', 'M', 5, 0)");
    LoadCompetitors(db, size.competitors);
    LoadDeviceTimes(db, size);
    db.Exec("analyze table result, tdc_mid, midjyun");
}

// 7919 is a prime that divides none of the race sizes used.
int BibOfPress(int press, int competitors) {
    return 1 + static_cast<int>((static_cast<long long>(press) * 7919) % competitors);
}

void RunEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

std::unique_ptr<TFhand> OpenWindow(TDm1& dm, double& seconds) {
    QElapsedTimer opening;
    opening.start();
    auto window = std::make_unique<TFhand>();
    const RaceInWork race = OpenRaceInWork(dm);
    // As the program opens it: the race kept on the disk as the window reads it.
    window->KeepCopiesOf(race);
    window->ChooseTimingPage(false);
    window->setWindowTitle(race.Caption);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        std::fprintf(stderr, "the window was not exposed\n");
    window->activateWindow();
    QCoreApplication::processEvents();
    seconds = opening.elapsed() / 1000.0;
    return window;
}

double PressUntilShown(QLineEdit* bibBox, const QLineEdit* headBox, int bib) {
    bibBox->selectAll();
    QTest::keyClicks(bibBox, QString::number(bib));
    const QString head = headBox->text();
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(bibBox, Qt::Key_Return);
    while (headBox->text() == head && timer.elapsed() < 5000)
        QCoreApplication::processEvents();
    return timer.nsecsElapsed() / 1e6;
}
