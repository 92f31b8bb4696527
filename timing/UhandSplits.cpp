// Split-time assignment: bib + Enter, discard, dead heat, and the recording of a split.
#include "Uhand.h"

#include "common/ErrorReport.h"

#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "controls/REdit.h"
#include "data/RunStatement.h"
#include "data/SqlValue.h"
#include "data/StatementLines.h"
#include "data/Udm1.h"
#include "speech/Announcements.h"
#include "speech/SpeechPanelLogic.h"
#include "data/DeviceTimeMarks.h"
#include "timing/KeyDownFilter.h"
#include "timing/MessageBoxes.h"
#include "data/RelayLegs.h"
#include "data/SplitRules.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

const QString TooShortMessage = QStringLiteral("最短計測時間に達していません");
const QString SplitLimitMessage = QStringLiteral("既に最大中間数に達してます。");

QString NotRegisteredMessage(const QString& bib) {
    return QStringLiteral("ビブNo.%1 は登録されていません。").arg(bib);
}

// The competitor's result row: the statement's lines, then the bib.
void OpenCompetitorRow(TQuery& query, const QStringList& lines, const QString& bib) {
    query.SetSQL(lines + QStringList{ValueLine(QStringLiteral("and zek = "), bib)});
    query.Open();
}

QString SelectResultLine() {
    return RaceLine(QStringLiteral("select * from result where tcode = "));
}

struct SplitReading {
    bool registered = false; // the race has a result row of this bib
    QString start;
    int next = 1;
};

// The competitor's start and next free split.
SplitReading ReadNextSplit(const QString& bib) {
    TQuery& reading = Dm1->Qtemp2;
    OpenCompetitorRow(reading,
                      {QStringLiteral("select startedtime,midtime1,midtime2,midtime3,midtime4,"
                                      "midtime5"),
                       RaceLine(QStringLiteral("from result where tcode = "))},
                      bib);
    QStringList splitTimes;
    for (int k = 1; k <= SplitColumns; ++k)
        splitTimes << reading.FieldByName(QStringLiteral("midtime%1").arg(k)).AsString();
    return {reading.RecordCount() > 0,
            reading.FieldByName(QStringLiteral("startedtime")).AsString(), NextSplitNo(splitTimes)};
}

// The time the new split is measured from: the start for split 1, else the previous split.
QString ReadPreviousTime(const QString& bib, int split) {
    TQuery& reading = Dm1->Qtemp2;
    OpenCompetitorRow(reading, {SelectResultLine()}, bib);
    return reading
        .FieldByName(split == 1 ? QStringLiteral("startedtime")
                                : QStringLiteral("midfin%1").arg(split - 1))
        .AsString();
}

void WriteSplit(const QString& bib, int split, const QString& splitTime, const QString& passing,
                const QString& start) {
    QStringList lines = {ValueLine(QStringLiteral("update result set midtime%1 = ").arg(split),
                                   splitTime, QStringLiteral(",")),
                         ValueLine(QStringLiteral("midfin%1 = ").arg(split), passing)};
    // Split 1 is measured from the start itself; later splits record where they were measured
    // from.
    if (split != 1)
        lines << ValueLine(QStringLiteral(",midst%1 = ").arg(split), start);
    lines << RaceLine(QStringLiteral("where tcode = "))
          << ValueLine(QStringLiteral("and zek = "), bib);
    RunStatement(Dm1->Qedit, lines);
}

void AppendPassing(const QString& logBib, const QString& splitTime, const QString& passing) {
    const QStringList values = {SqlValue(uComm::RaceCode), SqlValue(logBib), SqlValue(splitTime),
                                SqlValue(passing)};
    RunStatement(Dm1->Qedit, {QStringLiteral("insert into midjyun (tcode,bib,mtime,tod)values("),
                              values.join(QLatin1Char(',')) + QStringLiteral(")")});
}

} // namespace

void TFhand::ConnectSplitHandlers() {
    new KeyDownFilter(Edit5, [this](int key) { Edit5KeyDown(key); });
    connect(RE1, &TREdit::OnExit, this, Guarded(this, &TFhand::RE1Exit));
}

void TFhand::Edit5KeyDown(int key) {
    if (key == 13) {
        PendingTime = Ed1->text();
        if (Edit5->text() == QStringLiteral("0"))
            DiscardPendingTime();
        else
            TakePendingTime();
    } else if (key == 32) {
        PendingTime = Ed1->text();
        if (Edit5->text() != QStringLiteral("0"))
            HoldDeadHeat();
    }
}

// Every stamp of the race with this time text, whatever its state; the box keeps its "0".
void TFhand::DiscardPendingTime() {
    MarkDeviceTime(Dm1->qsetfin, QStringLiteral("2"), PendingTime);
    ListPendingTimes();
    ShowPendingGaps();
}

void TFhand::TakePendingTime() {
    EntryBib = FormatBib4(StrToInt(Edit5->text()));
    Edit5->setText(EntryBib);
    LookUpEntry(EntryBib);
    setFTtime(EntryBib, PendingTime, StartText, QStringLiteral("1"), SplitLimit);
    ListPendingTimes();
    ShowPendingGaps();
    ReselectBibBox(Edit5);
    PaintEd1(QColor(255, 255, 255));
}

// The time goes to this competitor and is held (state "2") for the other one of the dead
// heat, who gets it from the device-time grid. Ed1 stays aqua until the next bib + Enter.
void TFhand::HoldDeadHeat() {
    EntryBib = FormatBib4(StrToInt(Edit5->text()));
    LookUpEntry(EntryBib);
    PaintEd1(QColor(0, 255, 255));
    setFTtime(EntryBib, PendingTime, StartText, QStringLiteral("2"), SplitLimit);
    ListPendingTimes();
    ShowPendingGaps();
    Edit5->setText(EntryBib);
    ReselectBibBox(Edit5);
}

void TFhand::LookUpEntry(const QString& bib) {
    TQuery& lookUp = Dm1->qsetfin;
    OpenCompetitorRow(lookUp, {SelectResultLine()}, bib);
    StartText = lookUp.FieldByName(QStringLiteral("startedtime")).AsString();
    const QString competitorClass = lookUp.FieldByName(QStringLiteral("class1")).AsString();

    lookUp.SetSQL({RaceLine(QStringLiteral("select lapn from env where tcode = ")),
                   ValueLine(QStringLiteral("and class = "), competitorClass)});
    lookUp.Open();
    SplitLimit = lookUp.FieldByName(QStringLiteral("lapn")).AsInteger();
}

void TFhand::setFTtime(const QString& Bib, const QString& Tm, const QString& Started,
                       const QString& Mode, int Limit) {
    EntryBib = Bib;
    StartText = Started;
    PendingTime = Tm;
    const SplitReading reading = ReadNextSplit(Bib);
    StartText = reading.start;
    const int n = reading.next;
    const QString previous = ReadPreviousTime(Bib, n);

    Memo2->appendPlainText(QStringLiteral("mfn ") + Tm);
    Memo2->appendPlainText(QStringLiteral("mst ") + previous);
    if (!PassedMinimumTime(previous, Tm))
        return;
    if (n > SplitLimitOfClass(Limit)) {
        // A bib with no row has no class, so no splits: it is told as what it is, a mistyped
        // or unregistered bib.
        ShowMessage(this, reading.registered ? SplitLimitMessage : NotRegisteredMessage(Bib));
        ReselectBibBox(Edit5);
        return;
    }

    const QString splitTime = TenthsForm(ElapsedTimeText(StartText, Tm));
    WriteSplit(Bib, n, splitTime, Tm, StartText);
    MarkDeviceTime(Dm1->Qedit, Mode, Tm);
    EntryBib = PassingLogBib(EntryBib);
    AppendPassing(EntryBib, splitTime, Tm);
    Speech->Announce(SplitAnnouncement{Bib, n, splitTime}.text());
    if (n != LastSplitNo) {
        LastSplitNo = n;
        SplitButtons[n - 1]->Click();
    }
}

// Not wrapped at midnight: a time measured across it is refused.
bool TFhand::PassedMinimumTime(const QString& from, const QString& to) {
    const int d = TimeTextToMs(to) - TimeTextToMs(from);
    Memo2->appendPlainText(QString::number(d));
    if (!ReachesMinimum(d, StrToInt(MinutesEntry(RE1->Text())))) {
        ShowMessage(this, TooShortMessage);
        return false;
    }
    Memo2->appendPlainText(QString::number(d));
    return true;
}

void TFhand::RE1Exit() {
    uComm::MinMeasureMinutes = MinutesEntry(RE1->Text());
    RE1->SetText(uComm::MinMeasureMinutes);
}
