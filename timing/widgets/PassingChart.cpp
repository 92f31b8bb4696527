#include "timing/widgets/PassingChart.h"

#include <QDateTime>
#include <QPainter>
#include <algorithm>

namespace {

constexpr int RedrawMs = 1000;
constexpr int Margin = 24;
const QColor BarColour(64, 128, 208);
const QColor BacklogColour(216, 40, 40);

qint64 MinuteNow() {
    return QDateTime::currentSecsSinceEpoch() / 60;
}

} // namespace

PassingChart::PassingChart(QWidget* parent)
    : QWidget(parent), passings_(Minutes, 0), backlog_(Minutes, -1) {
    setAutoFillBackground(true);
    QPalette shade = palette();
    shade.setColor(QPalette::Window, Qt::white);
    setPalette(shade);
    redraw_.setSingleShot(true);
    redraw_.setInterval(RedrawMs);
    connect(&redraw_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void PassingChart::ShowPassings(const std::vector<int>& perMinute, const QString& lastMinute) {
    if (perMinute == passings_ && lastMinute == lastMinute_)
        return;
    passings_ = perMinute;
    passings_.resize(Minutes, 0);
    lastMinute_ = lastMinute;
    RedrawSoon();
}

void PassingChart::ShowBacklog(int waiting) {
    const qint64 minute = MinuteNow();
    if (backlogMinute_ >= 0 && minute > backlogMinute_) {
        const auto shift = static_cast<size_t>(std::min<qint64>(minute - backlogMinute_, Minutes));
        backlog_.erase(backlog_.begin(), backlog_.begin() + shift);
        backlog_.resize(Minutes, -1);
    }
    backlogMinute_ = minute;
    if (backlog_.back() == waiting)
        return;
    backlog_.back() = waiting;
    RedrawSoon();
}

void PassingChart::RedrawSoon() {
    if (!redraw_.isActive())
        redraw_.start();
}

void PassingChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect plot = rect().adjusted(Margin, 8, -8, -Margin);
    const int highest = std::max({1, *std::max_element(passings_.begin(), passings_.end()),
                                  *std::max_element(backlog_.begin(), backlog_.end())});
    const double barWidth = double(plot.width()) / Minutes;
    const auto heightOf = [&](int value) { return plot.height() * value / highest; };
    for (int m = 0; m < Minutes; ++m) {
        const int h = heightOf(passings_[m]);
        painter.fillRect(QRectF(plot.left() + m * barWidth + 1, plot.bottom() - h,
                                std::max(1.0, barWidth - 2), h),
                         BarColour);
    }
    painter.setPen(QPen(BacklogColour, 2));
    QPointF previous;
    bool drawing = false;
    for (int m = 0; m < Minutes; ++m) {
        if (backlog_[m] < 0) {
            drawing = false;
            continue;
        }
        const QPointF point(plot.left() + (m + 0.5) * barWidth,
                            plot.bottom() - heightOf(backlog_[m]));
        if (drawing)
            painter.drawLine(previous, point);
        painter.drawEllipse(point, 2, 2); // a minute alone shows too
        previous = point;
        drawing = true;
    }
    painter.setPen(Qt::black);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawText(QRect(0, plot.top(), Margin - 2, 16), Qt::AlignRight,
                     QString::number(highest));
    painter.drawText(QRect(plot.left(), plot.bottom() + 4, plot.width(), 16), Qt::AlignLeft,
                     QStringLiteral("60分前"));
    painter.drawText(QRect(plot.left(), plot.bottom() + 4, plot.width(), 16), Qt::AlignRight,
                     lastMinute_);
    painter.drawText(QRect(plot.left(), plot.top(), plot.width(), 16), Qt::AlignRight,
                     QStringLiteral("■ 通過/分   ― 未処理"));
}
