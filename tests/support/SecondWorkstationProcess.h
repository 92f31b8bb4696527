#pragma once
// The second workstation of tests/timing/SecondWorkstation.cpp, a process of its own, as its
// volunteer is told what to type over its standard input, and what it answered.

#include <QProcess>
#include <QStringList>

class SecondWorkstationProcess {
public:
    SecondWorkstationProcess() = default;
    // Ends its input and waits for it to end.
    ~SecondWorkstationProcess();
    SecondWorkstationProcess(const SecondWorkstationProcess&) = delete;
    SecondWorkstationProcess& operator=(const SecondWorkstationProcess&) = delete;

    // Starts `program` (the second_workstation binary) and waits until its window shows;
    // false when it did not say so within 20 s (Said() tells what it said instead).
    bool Start(const QString& program, const QStringList& arguments,
               const QProcessEnvironment& environment);
    void Tell(const QString& line);
    // Waits until `time` heads its panel.
    void WaitForHead(const QString& time);
    // It types `bib` once `time` heads its panel, and has sent what it did.
    void Types(const QString& bib, const QString& time);
    // It has sent everything and listed its counts and what it told (its "end" taken away).
    bool Reported(int timeoutMs);
    // Its lines that start with `word`, without it.
    QStringList SaidAfter(const QString& word) const;
    QString Said() const { return said_.join(QLatin1Char('\n')); }

private:
    QProcess process_;
    QStringList said_;
};
