#pragma once
// An ekiden exchange's own view, on 通過状況 in place of the split point's: the teams through
// and still due for the leg arriving here, the next expected, the teams a forced start
// (繰り上げスタート) would take as its time comes, and the last arrival that may be a late
// runner. Its lists are read with the window's other lists, in the background.

#include "data/reads/ExchangeTeams.h"
#include "data/reads/ListReader.h"

#include <QTime>
#include <QWidget>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QTreeWidget;

class ExchangeView : public QWidget {
public:
    using Tell = std::function<void(const QString& reason)>;

    // `tell` takes a refused forced-start time to the strip and 要確認.
    ExchangeView(Tell tell, QWidget* parent);

    // What to read for exchange n (leg n arriving); the view shows that exchange from now on.
    std::vector<ListRead> Reads(const QString& race, int exchange);
    void ShowLists(const ListSnapshots& lists);
    // The forced start's countdown, by the clock.
    void Tick(QTime now);
    void ShowLateArrival(const QString& warning);

private:
    void Build();
    void ShowDue(const std::vector<ExchangeTeam>& due);
    void ForcedTimeEntered();
    std::optional<QTime> ForcedTime() const;

    Tell tell_;
    QLabel* counts_ = nullptr;
    QLabel* next_ = nullptr;
    QLabel* heading_ = nullptr;
    QTreeWidget* due_ = nullptr;
    QLineEdit* forcedTime_ = nullptr;
    QLabel* forced_ = nullptr;
    QLabel* lateArrival_ = nullptr;
    int exchange_ = 1;
    int through_ = 0;
    QStringList forcedTeams_;
    // The forced-start time of each exchange, as typed here ("HH:MM:SS").
    std::map<int, QString> forcedTimes_;
    QTime now_ = QTime::currentTime();
};
