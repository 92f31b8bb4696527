#pragma once
// A race replayed into the real window as a volunteer works it: the device's lines down a
// pseudo-terminal, the bibs typed to the focus as each time shows, and the truth of who passed
// when to hold the race database to at the end.

#include "tests/device/DeviceWindowFixture.h"

#include "data/actions/ActionHistory.h"
#include "support/OperatorHands.h"

#include <QLineEdit>
#include <QTime>

#include <vector>

// One stamp of the device and who passed on it: one bib, two in a dead heat, none for a stray
// stamp (a spectator in the light beam), which the volunteer discards with "0".
struct Passing {
    QString time;
    QStringList bibs;
};

inline QString TimeOfDay(int seconds) {
    return QTime(0, 0).addSecs(seconds).toString(QStringLiteral("HH:mm:ss")) +
           QStringLiteral(".0000");
}

class Replay : public DeviceWindowFixture {
protected:
    // The device sends the lines of the passings up to `last`, with a line of another channel
    // now and then, which is only shown.
    void SendUpTo(int last) {
        for (; sent <= last && sent < int(passings.size()); ++sent) {
            const QByteArray time = passings[sent].time.toLatin1();
            if (sent % 10 == 0)
                line->Send(StampLine(" ", 9000 + sent, "C0", time.constData()));
            line->Send(StampLine(" ", sent + 1, "C1", time.constData()));
        }
    }
    // The volunteer looks up and sees the time the next bib will take.
    void WaitForBox(int box, const QString& time) {
        const QLineEdit* shown = PanelBoxes(*window)[box];
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown->text() == time; }, 10000))
            << "waiting for " << qPrintable(time) << " in box " << box + 1 << ", it shows "
            << qPrintable(shown->text());
    }
    void Enter(const QString& bib) {
        OperatorHands::Type(bib);
        OperatorHands::Press(Qt::Key_Return);
    }
    void TypeOne(int k) { TakePassing(passings[k]); }
    void TakePassing(const Passing& passing) {
        if (passing.bibs.isEmpty()) {
            Enter("0");
            return;
        }
        if (passing.bibs.size() == 2) {
            OperatorHands::Type(passing.bibs[0]);
            OperatorHands::Press(Qt::Key_Space);
        }
        Enter(passing.bibs.last());
    }
    // The bib of a runner due a few passings later, who has not passed this time yet: typed
    // by mistake, it is recorded.
    QString LaterBib(int k, int later) const { return passings[k + later].bibs.value(0); }

    // Each stamp of channel C1 in order of arrival with its state, as the truth says it must
    // be: used, or discarded when stray.
    QList<QStringList> TruthOfStamps() const {
        QList<QStringList> stamps;
        for (const Passing& passing : passings)
            stamps << QStringList{passing.time, passing.bibs.isEmpty() ? "2" : "1"};
        return stamps;
    }
    QList<QStringList> StoredStamps() const {
        return db.Rows("select tm, sumi from tdc_mid where st = 'C1' order by dt, id");
    }

    // The actions still waiting, and why, for a failure's message.
    QString Waiting() const {
        QStringList waiting;
        for (const OperatorAction& action : window->Actions().Actions())
            if (action.progress == OperatorAction::Progress::Waiting)
                waiting << action.bib + " " + action.what + " jid=" + action.request.stamp.jid +
                               " id=" + QString::number(action.request.stamp.id);
        return waiting.join('\n') + "\n" + window->Actions().WriterProblem();
    }

    std::vector<Passing> passings;
    int sent = 0;
    PtyPair* line = &pty;
};

