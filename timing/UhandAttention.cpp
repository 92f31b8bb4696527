// The operator's attention: keys that always reach the bib box, key presses that end with the
// box ready for the next bib whatever happened, and refusals and troubles told on the strip
// and listed under 要確認, never in a box that would take the next bib's keys.
#include "Uhand.h"

#include "common/ProgramFiles.h"
#include "data/Udm1.h"
#include "speech/SpeechPanelLogic.h"
#include "timing/BibKeyboard.h"
#include "timing/session/KeyPressResult.h"
#include "timing/widgets/AttentionList.h"
#include "timing/widgets/ExchangeView.h"
#include "timing/widgets/SplitPointPage.h"
#include "timing/widgets/StatusStrip.h"

#include <QApplication>
#include <QHideEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

void TFhand::ConnectAttentionHandlers() {
    Attention->KeepIn(
        std::make_unique<AttentionJournal>(ProgramDataFolder(), Dm1->DB.SourceName()));
    // On 通過状況 the digits go to its lookup box; the undo belongs to the timing pages.
    new BibKeyboard(
        this,
        [this] {
            QLineEdit* box = BibBoxOnShow();
            return box || PageControl1->currentWidget() != TabSheet5 ? box : TabSheet5->FindBox();
        },
        [this] {
            if (BibBoxOnShow())
                RunGuarded([this] { UndoLastAction(); });
        });
    connect(Attention->ClearButton(), &QPushButton::clicked, this, [this] {
        if (QLineEdit* box = BibBoxOnShow())
            ReselectBibBox(box);
    });
}

void TFhand::RunKeyPress(QLineEdit* bibBox, const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& error) {
        // Nothing of a key press that failed was written (one transaction); its time is still
        // waiting, and the operator types the bib again when the cause is gone.
        Tell(bibBox->text(), QString::fromUtf8(error.what()));
    }
    ReselectBibBox(bibBox);
}

void TFhand::ShowKeyPress(QLineEdit* bibBox, const KeyPressResult& result) {
    if (bibBox->text() != result.box)
        bibBox->setText(result.box);
    for (const QString& line : result.log)
        Memo2->appendPlainText(line);
    if (!result.statement.isEmpty())
        Edit6->setText(result.statement);
    if (result.Refused()) {
        Tell(result.bib, result.refusal);
    } else {
        if (result.action) {
            const OperatorAction sent = Send(result.action->bib, result.action->what,
                                             result.action->request, result.action->marksChange);
            if (sent.request.Undecided())
                awaitingConfirmation_.insert(sent.id);
        }
        // The same text again needs typing anew; the split list shows whom it recorded.
        if (result.action || result.shown)
            boxesNotTypedAnew_.insert(bibBox);
        if (result.action && !result.action->bib.isEmpty() && bibBox != Edit3)
            followedBib_ = result.action->bib;
        if (result.shown)
            Strip->ShowOutcome(*result.shown);
        // The strip keeps the record, marked; a beep would be taken for a refusal.
        if (!result.warning.isEmpty()) {
            Attention->Add(result.action ? result.action->bib : result.bib, result.warning);
            TabSheet5->Exchange()->ShowLateArrival(result.warning);
        }
        if (!result.announcement.isEmpty())
            Speech->Announce(result.announcement);
        // The list follows once the server has the split or leg.
        if (result.listToShow != 0 && bibBox == Edit3)
            FollowLeg(result.listToShow);
        else if (result.listToShow != 0)
            ChooseSplitPoint(result.listToShow, false);
    }
    ShowPendingTimes();
    ShowGaps();
    PaintEd1(result.deadHeatOpen ? QColor(0, 255, 255) : QColor(255, 255, 255));
}

void TFhand::Tell(const QString& bib, const QString& reason) {
    LastAction refused;
    refused.bib = bib;
    refused.refusal = reason;
    Strip->ShowOutcome(refused);
    Attention->Add(bib, reason);
}

void TFhand::ShowErrorsHere(bool here) {
    if (here == showingErrors_)
        return;
    showingErrors_ = here;
    if (!here) {
        SwapErrorReporter(std::move(otherReporter_));
        return;
    }
    otherReporter_ = SwapErrorReporter([this](const QString& message) {
        // Another window of the program (the check list) shows its own errors as before.
        QWidget* active = QApplication::activeWindow();
        if (active && active != this && otherReporter_)
            otherReporter_(message);
        else
            Tell({}, message);
    });
}

void TFhand::hideEvent(QHideEvent* event) {
    ShowErrorsHere(false);
    QDialog::hideEvent(event);
}
