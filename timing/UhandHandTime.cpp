// A time of day typed for a runner the device missed: asked for in a small box beside the
// window, then kept and sent as any action. It becomes a stamp in its time's place, shown
// on the panel at once, taken by the next bib as any stamp, and taken back with Ctrl+Z.
#include "Uhand.h"

#include "common/uComm.h"
#include "data/actions/ActionHistory.h"
#include "data/actions/HandStamp.h"
#include "data/actions/StampColumns.h"
#include "timing/widgets/HandTimeDialog.h"
#include "timing/widgets/StatusReadings.h"
#include "timing/widgets/StatusStrip.h"

#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QUuid>

void TFhand::ConnectHandTimeHandlers() {
    connect(BtnHandTime, &QPushButton::clicked, this, Guarded(this, &TFhand::BtnHandTimeClick));
    connect(BtnRelayHandTime, &QPushButton::clicked, this,
            Guarded(this, &TFhand::BtnHandTimeClick));
    // The key of the button, wherever the focus is in the window.
    auto* key = new QShortcut(QKeySequence(Qt::Key_F2), this);
    connect(key, &QShortcut::activated, this, Guarded(this, &TFhand::BtnHandTimeClick));
}

void TFhand::BtnHandTimeClick() {
    // The timing pages': the stamp goes to the pending times both take from.
    QLineEdit* bibBox = BibBoxOnShow();
    if (bibBox != Edit5 && bibBox != Edit3)
        return;
    auto* dialog = new HandTimeDialog(
        this, [this] { return deviceClock_.Now(QDateTime::currentDateTime()); });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &HandTimeDialog::TimeTyped, this,
            [this](const QString& time) { RunGuarded([&] { IssueHandStamp(time); }); });
    // Whether a time was taken or not, the next bib goes to the bib box.
    connect(dialog, &QDialog::finished, this, [this, bibBox] {
        activateWindow();
        ReselectBibBox(bibBox);
    });
    // Open beside the window, which goes on receiving and showing stamps meanwhile.
    dialog->open();
    dialog->activateWindow();
}

void TFhand::IssueHandStamp(const QString& time) {
    ActionRequest request;
    request.kind = ActionRequest::Kind::HandStamp;
    // Named as the journal names the device's stamps, where the race's table can keep it.
    const QString jid = CurrentStampColumns().jid
                            ? QUuid::createUuid().toString(QUuid::WithoutBraces)
                            : QString();
    request.stamp = {0, jid, time};
    const QString said = HandStampLine + QStringLiteral("  ") + time;
    Send(QString(), said, request);
    Strip->ShowOutcome(NoteAction(said, true));
    ShowPendingTimes();
    ShowGaps();
}
