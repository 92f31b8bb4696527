// A second workstation on the race for the tests: the real timing window in a process of its
// own, reaching the server through the data source named on the command line, its journals
// in the folder TARNIK_HOME names. It types what its standard input says, as a volunteer
// would, to whatever has the focus:
//   a bib          typed and Enter pressed; answered "typed BIB TIME" with the time that
//                  headed the panel
//   wait TIME      answered "head TIME" once that time heads the panel (or "head" and what
//                  does after 10 s)
//   report         once everything is sent, "applied N", "refused N", a "told TEXT" line for
//                  each reason listed under 要確認, then "end"
// It says "ready" once the window shows, and ends at the end of its input.
//   second_workstation DATABASE DATA-SOURCE
#include "app/TarnikApplication.h"
#include "data/RaceInWork.h"
#include "data/Udm1.h"
#include "data/actions/ActionHistory.h"
#include "support/FarDataSource.h"
#include "support/OperatorHands.h"
#include "support/WindowControls.h"
#include "timing/Uhand.h"
#include "timing/widgets/AttentionList.h"

#include <QLineEdit>
#include <QSocketNotifier>
#include <QTest>

#include <cstdio>
#include <unistd.h>

namespace {

void Say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void Report(const TFhand& window) {
    // What has not gone by then shows in the counts.
    (void)QTest::qWaitFor([&] { return window.UnsentCount() == 0; }, 30000);
    int applied = 0;
    int refused = 0;
    for (const OperatorAction& action : window.Actions().Actions()) {
        applied += action.progress == OperatorAction::Progress::Applied;
        refused += action.progress == OperatorAction::Progress::Refused;
    }
    Say(QStringLiteral("applied %1").arg(applied));
    Say(QStringLiteral("refused %1").arg(refused));
    for (const QString& line : FindControl<AttentionList>(window, "AttentionList")->Lines())
        Say(QStringLiteral("told ") + line);
    Say(QStringLiteral("end"));
}

void Obey(TFhand& window, const QString& line) {
    if (line == QLatin1String("report")) {
        Report(window);
        return;
    }
    const QLineEdit* headBox = FindControl<QLineEdit>(window, "Ed1");
    if (line.startsWith(QLatin1String("wait "))) {
        // Another time at the head after the wait is answered as it is.
        (void)QTest::qWaitFor([&] { return headBox->text() == line.mid(5); }, 10000);
        Say(QStringLiteral("head ") + headBox->text());
        return;
    }
    const QString head = headBox->text();
    OperatorHands::Type(line);
    OperatorHands::Press(Qt::Key_Return);
    Say(QStringLiteral("typed %1 %2").arg(line, head));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: second_workstation DATABASE DATA-SOURCE\n");
        return 2;
    }
    TarnikApplication app(argc, argv);
    app.SetErrorDialog([](const QString& message) { Say(QStringLiteral("error ") + message); });
    // Connected only through the source named: the shared test server may not be there.
    TDm1 dm(nullptr, QString::fromLocal8Bit(argv[1]), TDm1::Opening::Later);
    ConnectThrough(dm.DB, QString::fromLocal8Bit(argv[2]));
    TFhand window;
    const RaceInWork race = OpenRaceInWork(dm);
    window.ChooseTimingPage(race.Relay);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    window.activateWindow();

    QByteArray input;
    QSocketNotifier stdinReady(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&stdinReady, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            stdinReady.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        input.append(buffer, got);
        for (qsizetype end; (end = input.indexOf('\n')) >= 0;) {
            const QString line = QString::fromUtf8(input.left(end)).trimmed();
            input.remove(0, end + 1);
            if (!line.isEmpty())
                Obey(window, line);
        }
    });
    Say(QStringLiteral("ready"));
    return app.exec();
}
