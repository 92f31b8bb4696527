#pragma once
// What the benchmarks share: a large lap race loaded into a private database, the timing
// window opened on it as the main window opens it, and a bib typed as an operator types it.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class QLineEdit;
class TarnikApplication;
class TDm1;
class TFhand;
class TestDatabase;

// The program's application as a benchmark runs it: off screen unless a platform is asked
// for, the windows' journals apart from a real run's, errors gathered instead of shown.
class BenchApplication {
public:
    BenchApplication(int& argc, char** argv);
    ~BenchApplication();
    QStringList errors;

private:
    QTemporaryDir dataHome_;
    std::unique_ptr<TarnikApplication> app_;
};

struct RaceSize {
    int competitors;
    int pending; // device times still waiting for a bib; the rest are processed
};

// Race "B1" in work: every competitor has passed split points 1 and 2, five device times per
// competitor, the last `pending` of them waiting from 11:00 on, 100 ms apart.
void LoadRace(const TestDatabase& db, const RaceSize& size);
// Distinct competitors for the presses, while press < competitors.
int BibOfPress(int press, int competitors);

// The window's events as the program's own loop runs them (QTest::qWait sleeps in between,
// which would show as a busy window and late reports).
void RunEventsFor(int ms);
// The lap page opened on the race in work; `seconds` is how long that took.
std::unique_ptr<TFhand> OpenWindow(TDm1& dm, double& seconds);
// Types the bib and presses Enter; gives the time until the panel's head moved on.
double PressUntilShown(QLineEdit* bibBox, const QLineEdit* headBox, int bib);
