#pragma once
// A fresh pseudo-terminal: the test holds the master end, the component opens the slave by
// its path. Both ends start raw, so no byte is translated before the component sets the line.

#include <QByteArray>
#include <QString>

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    QString SlavePath() const { return slavePath_; }
    // The test's own descriptor of the slave, for reading back the line settings.
    int SlaveFd() const { return slave_; }
    void Send(const QByteArray& bytes);
    // Writes what the line takes now (it holds only so much); the count written.
    qsizetype SendSome(const QByteArray& bytes);
    // What the component wrote, once `count` bytes came or `timeoutMs` passed.
    QByteArray Receive(int count, int timeoutMs);
    // Hangs up the line, as a device that goes away.
    void CloseMaster();

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
};
