#pragma once
// Runners through the split point per minute over the last hour, as bars, with the times
// waiting for a bib over the same hour as a line. Drawn with plain painting: sixty bars and a
// line need no chart library, and a redraw costs well under a millisecond. New figures are
// drawn at most once a second, so a busy minute costs the key presses nothing.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <vector>

class PassingChart : public QWidget {
public:
    static constexpr int Minutes = 60;

    explicit PassingChart(QWidget* parent);

    // Oldest minute first; `lastMinute` is the minute of the last bar ("HH:mm").
    void ShowPassings(const std::vector<int>& perMinute, const QString& lastMinute);
    // The count of times waiting now, kept as the last minute's backlog.
    void ShowBacklog(int waiting);

    const std::vector<int>& Passings() const { return passings_; }
    const std::vector<int>& Backlog() const { return backlog_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void RedrawSoon();

    std::vector<int> passings_;
    std::vector<int> backlog_; // one per minute, -1 where none was seen
    QString lastMinute_;
    qint64 backlogMinute_ = -1;
    QTimer redraw_;
};
