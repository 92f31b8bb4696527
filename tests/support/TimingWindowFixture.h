#pragma once
// A timing window on a race database of the test's own, opened as the main window opens
// it, with helpers to lay out a race and to type at the window.

#include "data/RaceInWork.h"
#include "data/Udm1.h"
#include "support/ModalAnswerer.h"
#include "support/QtPrinting.h"
#include "support/ShownErrors.h"
#include "support/TestDatabase.h"
#include "support/WindowControls.h"
#include "timing/Uhand.h"

#include <gtest/gtest.h>
#include <memory>

class QLineEdit;

class TimingWindowFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the window for the race in execinfo (R1 unless changed), on the page the
    // race's event type chooses, shown and exposed.
    void OpenWindow();
    // The same as the main window opens it: the race kept on the disk as the window reads
    // it, and, while the server does not answer, opened from that copy.
    void OpenWindowWithCopies();

    void AddRace(const QString& tcode, const QString& syumoku, const QString& name);
    void AddClass(const QString& cls, int lapn, int relayn = 0);
    void AddCompetitor(const QString& zek, const QString& cls, const QString& start);
    // A device stamp on channel C1, arrived `order` seconds after the first (so dt orders).
    void AddStamp(const QString& tm, int order, const QString& tstat = QStringLiteral(" "),
                  const QString& st = QStringLiteral("C1"));

    // The window's control of that name.
    template <typename T> T* Control(const QString& name) const {
        return FindControl<T>(*window, name);
    }

    // Clicks the box where it shows, types text to the focus (replacing what the click
    // selected) and presses Enter or Space.
    void TypeBib(QLineEdit* box, const QString& bib, Qt::Key key = Qt::Key_Return);
    // Clicks a minimum-time box (the lap page's unless named), replaces its text and presses
    // Enter there.
    void SetMinimumMinutes(const QString& minutes, const QString& box = QStringLiteral("RE1"));

    // Texts of Ed1 .. Ed10, empty ones included.
    QStringList PanelTexts() const;
    // The reasons listed under 要確認, newest first.
    QStringList Told() const;
    // The caption of the page on show.
    QString PageShown() const;
    // A click on the tab of that caption.
    void ClickPage(const QString& caption);
    // The split point whose button is lit: the one whose list is on show; 0 when none is.
    int LitSplitButton() const;
    // Waits until the window has sent every action it kept, or found the server not
    // answering, and read the lists it asked for; every key and click of OperatorHands
    // waits so.
    void Settle() const;
    // The split list's first row taken out as the operator does it: a click, a right click,
    // "取り消し", はい.
    void CancelTopSplit();
    // A device time given to a competitor by hand: a double click on the competitor in the
    // split list puts the bib in the hand box, a click and a right click on the time ask, はい.
    void GiveByHand(const QString& zek, const QString& tm);
    // A click and a right click on the device-time grid's row of that time.
    void RightClickDeviceTime(const QString& tm);

    void ShowWindow(const RaceInWork& race);

    TestDatabase db;
    std::unique_ptr<TDm1> dm;
    std::unique_ptr<TFhand> window;
    ModalAnswerer answers;
};
