#pragma once
// The split point's own page: how many runners are through and still expected, the cut-off
// (関門) counting down, who has not passed yet and when each is expected, where one runner
// is, and the passings per minute over the last hour. Its lists are read with the window's
// other lists, in the background; the page only shows what they bring. For a relay race the
// exchange's own view takes the split point's place.

#include "data/actions/SplitDecision.h"
#include "data/reads/ListReader.h"

#include <QTime>
#include <QWidget>
#include <functional>
#include <vector>

class ExchangeView;
class PassingChart;
class QLabel;
class QLineEdit;
class QTreeWidget;

class SplitPointPage : public QWidget {
public:
    using CompetitorLookup = std::function<CompetitorSplits(const QString& zek)>;

    // `tell` takes the page's refusals to the strip and 要確認.
    SplitPointPage(CompetitorLookup competitor, std::function<void(const QString&)> tell,
                   QWidget* parent = nullptr);

    // A relay race shows the exchange's view instead of the split point's.
    void SetRelay(bool relay);
    bool Relay() const { return relay_; }
    ExchangeView* Exchange() const { return exchange_; }

    // What to read for split point n; the runners not yet passed and the chart only while
    // the page is on show, since they cost the server most.
    static std::vector<ListRead> Reads(const QString& race, int split, bool onShow);
    void ShowLists(const ListSnapshots& lists, int split);
    void ShowBacklog(int waiting);
    // The countdown and the heading, by the clock.
    void Tick(int split);
    // The counts and the countdown in one line, for the lap page.
    QString Summary(int split) const;

    QLineEdit* FindBox() const { return findBox_; }
    // The time of day the cut-off and the chart count by: the device's while it sends.
    void SetClock(std::function<QTime()> now) { now_ = std::move(now); }

private:
    void Build();
    void ShowNotPassed(const ListSnapshot& rows);
    void FindRunner();

    CompetitorLookup competitor_;
    QLabel* counts_ = nullptr;
    QLabel* countdown_ = nullptr;
    QLabel* heading_ = nullptr;
    QTreeWidget* notPassed_ = nullptr;
    QLineEdit* findBox_ = nullptr;
    QLabel* whereabouts_ = nullptr;
    PassingChart* chart_ = nullptr;
    ExchangeView* exchange_ = nullptr;
    bool relay_ = false;
    int through_ = -1; // -1 until the first read
    int expected_ = 0;
    int split_ = 1;
    std::function<QTime()> now_ = [] { return QTime::currentTime(); };
};
