// Resident memory of the timing window over a whole race: bib + Enter on the lap page, one
// split after another, with the lists read again as they are while the race runs. The figure
// that matters is the growth from the 1,000th press to the 10,000th: every log and list the
// window keeps is bounded, so it should stay within 5 MB (a marathon is 250,000 presses).
//
// It needs a running private server and its data sources:
//   scripts/localdb.sh start /tmp/bench-db
//   ODBCINI=/tmp/bench-db/odbc.ini QT_QPA_PLATFORM=offscreen build/bench/bench_memory
//   [presses [pace-ms]] scripts/localdb.sh stop /tmp/bench-db
// presses (default 10,000) and pace-ms (default 20, the time from one press to the next).
// The exit status is 1 when a press was refused or failed, not when the target is missed.
#include "BenchRace.h"

#include "app/TarnikApplication.h"
#include "data/Udm1.h"
#include "data/actions/ActionHistory.h"
#include "support/ModalAnswerer.h"
#include "support/TestDatabase.h"
#include "support/WindowControls.h"
#include "timing/Uhand.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

namespace {

// Resident set of this process in kB, as the kernel counts it.
long ResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// The window at rest: every action written, the lists read again at least once since.
bool Settle(const TFhand& window) {
    const bool sent = QTest::qWaitFor([&] { return window.UnsentCount() == 0; }, 120000);
    RunEventsFor(2500);
    return sent;
}

} // namespace

int main(int argc, char** argv) {
    BenchApplication app(argc, argv);
    const QStringList& errors = app.errors;
    const int presses = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 10'000;
    const int paceMs = argc > 2 ? std::max(0, std::atoi(argv[2])) : 20;

    const RaceSize size{presses + 1'000, presses + 1'000};
    TestDatabase db;
    LoadRace(db, size);
    TDm1 dm(nullptr, db.Name());
    double openSeconds = 0;
    const auto window = OpenWindow(dm, openSeconds);
    QLineEdit* bibBox = FindControl<QLineEdit>(*window, "Edit5");
    const QLineEdit* headBox = FindControl<QLineEdit>(*window, "Ed1");
    ModalAnswerer answers;
    int refused = 0;
    QObject::connect(&window->Actions(), &ActionHistory::Refused,
                     [&refused](const OperatorAction&) { ++refused; });

    std::printf("bib + Enter a %d ms on a race of %d competitors (opened in %.1f s)\n", paceMs,
                size.competitors, openSeconds);
    std::printf("   presses   resident MB\n");
    const long startKb = ResidentKb();
    std::printf("%10d %13.1f\n", 0, startKb / 1024.0);
    long atThousandKb = -1;
    bool sound = true;
    QElapsedTimer started;
    for (int press = 0; press < presses; ++press) {
        started.start();
        PressUntilShown(bibBox, headBox, BibOfPress(press, size.competitors));
        RunEventsFor(std::max(0, paceMs - int(started.elapsed())));
        const int done = press + 1;
        if (done % 1000 != 0 && done != presses)
            continue;
        sound = Settle(*window) && sound;
        const long kb = ResidentKb();
        if (done == 1000)
            atThousandKb = kb;
        std::printf("%10d %13.1f\n", done, kb / 1024.0);
        std::fflush(stdout);
    }
    const long growthKb = ResidentKb() - atThousandKb;
    const int written = db.Scalar("select count(*) from result where midfin3 <> ''").toInt();
    if (written != presses || refused > 0 || !answers.Texts().isEmpty() || !errors.isEmpty()) {
        std::fprintf(stderr, "%d splits written for %d presses, %d refused; messages: %s %s\n",
                     written, presses, refused, qPrintable(answers.Texts().join(" / ")),
                     qPrintable(errors.join(" / ")));
        sound = false;
    }
    std::printf("growth from press 1,000 to %d: %.1f MB (%.0f bytes a press); target <= 5 MB: "
                "%s\n",
                presses, growthKb / 1024.0, growthKb * 1024.0 / std::max(1, presses - 1000),
                growthKb <= 5 * 1024 ? "met" : "missed");
    return sound ? 0 : 1;
}
