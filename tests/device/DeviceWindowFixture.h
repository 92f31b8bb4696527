#pragma once
// A timing window whose device port is a fresh pseudo-terminal (port COM200) and whose stamp
// journal lives in the program folder of the test's own.

#include "support/TimingWindowFixture.h"
#include "tests/serial/PtyPair.h"

#include <QTemporaryDir>
#include <QTest>

class DeviceWindowFixture : public TimingWindowFixture {
protected:
    static constexpr int kPort = 200;

    void SetUp() override;
    void TearDown() override;

    // Writes bytes as the device, as fast as the window reads them.
    void Send(const QByteArray& bytes);
    // Waits, with the window's events running, until tdc_mid holds `count` rows.
    bool WaitForRows(int count, int timeoutMs = 5000);
    // getstr, bib, st, tm, tstat and sumi of every row of tdc_mid, in order of arrival.
    QList<QStringList> StoredRows();
    // The window's "未保存 N 件" label, empty while it is hidden.
    QString UnsavedText() const;
    // The journal of the window's database (the window is open).
    QString JournalPath() const;
    QByteArray JournalText() const;

    PtyPair pty;
    QTemporaryDir dataHome;
};

// Waits with the events running.
template <typename Predicate> bool Eventually(Predicate predicate, int timeoutMs = 5000) {
    return QTest::qWaitFor(predicate, timeoutMs);
}

// Bibs "0001" .. of numbered stamps, first to last.
QStringList NumberedBibs(int first, int last);
// A device line with its carriage return: status, 4-digit bib, channel, time of day.
QByteArray StampLine(const char* status, int bib, const char* channel, const char* time);
