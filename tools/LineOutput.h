#pragma once
// Where the simulator's lines go: a serial device, or the master end of a fresh
// pseudo-terminal whose slave path a reader opens.

#include <QByteArray>
#include <QString>

#include <chrono>

class LineOutput {
public:
    // Both throw std::runtime_error with the system's reason.
    static LineOutput OpenPseudoTerminal(int bitRate);
    static LineOutput OpenDevice(const QString& path, int bitRate);
    ~LineOutput();
    LineOutput(LineOutput&& other) noexcept;
    LineOutput(const LineOutput&) = delete;
    LineOutput& operator=(const LineOutput&) = delete;
    LineOutput& operator=(LineOutput&&) = delete;

    // The path a reader opens.
    QString Path() const { return path_; }
    // On a pseudo-terminal: until a reader has opened it and had a moment to set its line
    // up (opening a port discards what waits in it).
    void WaitForReader();
    void Send(const QByteArray& bytes);
    // Waits until `until`, discarding whatever the far end sends meanwhile.
    void IdleUntil(std::chrono::steady_clock::time_point until);
    // A device: until every byte has left. A pseudo-terminal: until the reader closes it.
    void Finish();

private:
    LineOutput(int fd, QString path, bool pseudoTerminal)
        : fd_(fd), path_(std::move(path)), pseudoTerminal_(pseudoTerminal) {}
    bool ReaderPresent() const;

    int fd_;
    QString path_;
    bool pseudoTerminal_;
};
