#pragma once
// Hands the Enter and Space keys of a bib box to the window's key handler before the box
// sees them: the handler decides what the key does, and the box never types a blank.

#include <QObject>
#include <functional>

class KeyDownFilter : public QObject {
public:
    using Handler = std::function<void(int key)>;
    KeyDownFilter(QObject* box, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler handler_;
};
