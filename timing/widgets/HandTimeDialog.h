#pragma once
// "手入力": the time of day of a runner the device missed, asked for in a small box of its own
// when the operator clicks the button. A time that is not one, or that the device's clock has
// not reached yet, is explained in the box, which stays open for the next try.

#include <QDialog>
#include <QTime>

#include <functional>

class QLabel;
class QLineEdit;

class HandTimeDialog : public QDialog {
    Q_OBJECT
public:
    // `deviceNow` gives the time of day by the device's clock (this machine's while it is
    // silent).
    HandTimeDialog(QWidget* parent, std::function<QTime()> deviceNow);

signals:
    // "HH:MM:SS.t000", as device stamps carry it.
    void TimeTyped(const QString& time);

private:
    void Take();

    std::function<QTime()> deviceNow_;
    QLineEdit* time_;
    QLabel* message_;
};
