// Relay timing: leg finish and next leg start, leg and team times, leg lists, relay reset.
#include "Uhand.h"

#include "common/ErrorReport.h"

#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "controls/REdit.h"
#include "data/ExecInfo.h"
#include "data/RunStatement.h"
#include "data/StatementLines.h"
#include "data/Udm1.h"
#include "speech/Announcements.h"
#include "speech/SpeechPanelLogic.h"
#include "data/DeviceTimeMarks.h"
#include "timing/KeyDownFilter.h"
#include "timing/MessageBoxes.h"
#include "data/RelayLegs.h"
#include "data/SplitRules.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

namespace {

const QString NotStartedMessage = QStringLiteral("当該の選手はスタートしていません。");
const QString LastLegMessage = QStringLiteral("既に最大中間数に達してます。");

QString RaceFilter() {
    return RaceLine(QStringLiteral("where tcode = "));
}

QString BibAndLeg(const QString& bib, int leg) {
    return ValueLine(QStringLiteral("and zek = "), bib, QStringLiteral(" and num = '%1'").arg(leg));
}

// The team's class and start. The look-up has no order, so the start is taken from leg 1's
// row wherever it comes; the class is the same in every row of the team.
RelayTeam LookUpRelayTeam(const QString& bib) {
    TQuery& lookUp = Dm1->qsetfin;
    lookUp.SetSQL({RaceLine(QStringLiteral("select * from relaymember where tcode = ")),
                   ValueLine(QStringLiteral("and zek = "), bib)});
    lookUp.Open();
    const QString teamClass = lookUp.FieldByName(QStringLiteral("class1")).AsString();
    RelayTeam team{bib, {}, 0};
    if (lookUp.Locate(QStringLiteral("num"), QStringLiteral("1")))
        team.start = lookUp.FieldByName(QStringLiteral("startedtime")).AsString();

    lookUp.SetSQL({RaceLine(QStringLiteral("select RELAYN from env where tcode = ")),
                   ValueLine(QStringLiteral("and class = "), teamClass)});
    lookUp.Open();
    team.legs = lookUp.FieldByName(QStringLiteral("RELAYN")).AsInteger();
    return team;
}

// The bib box's entry as a four-digit bib, shown back in the box, and what it names.
RelayTeam TakeRelayBib(QLineEdit* bibBox) {
    const QString bib = FormatBib4(StrToInt(bibBox->text()));
    bibBox->setText(bib);
    return LookUpRelayTeam(bib);
}

// Up to `legs` legs of the team in leg order, never more than this page times.
std::vector<RelayLeg> ReadRelayLegs(const QString& bib, int legs, QLineEdit* statementBox) {
    TQuery& reading = Dm1->Qtemp2;
    reading.SetSQL({QStringLiteral("select startedtime,finishtime,runtime"),
                    QStringLiteral("from relaymember ") + RaceFilter(),
                    ValueLine(QStringLiteral("and zek = "), bib, QStringLiteral(" order by num"))});
    statementBox->setText(reading.ShownText());
    reading.Open();
    std::vector<RelayLeg> read;
    const int readable = std::min(legs, RelayTimedLegs);
    for (reading.First(); !reading.Eof() && static_cast<int>(read.size()) < readable;
         reading.Next())
        read.push_back({reading.FieldByName(QStringLiteral("startedtime")).AsString(),
                        reading.FieldByName(QStringLiteral("finishtime")).AsString()});
    return read;
}

void WriteLegFinish(const QString& bib, int leg, const QString& legTime, const QString& finish) {
    RunStatement(Dm1->Qedit, {ValueLine(QStringLiteral("update relaymember set runtime = "),
                                        legTime, QStringLiteral(",")),
                              ValueLine(QStringLiteral("finishtime = "), finish),
                              QStringLiteral(",status = 'G'"), RaceFilter(), BibAndLeg(bib, leg)});
}

void StartLeg(const QString& bib, int leg, const QString& start) {
    RunStatement(Dm1->Qedit, {QStringLiteral("update relaymember set "),
                              ValueLine(QStringLiteral("startedtime = "), start),
                              QStringLiteral(",status = 'T'"), RaceFilter(), BibAndLeg(bib, leg)});
}

void WriteTeamTime(const QString& bib, const QString& teamTime, const QString& letter) {
    RunStatement(Dm1->Qedit, {ValueLine(QStringLiteral("update result set runtime = "), teamTime,
                                        ValueLine(QStringLiteral(",status = "), letter)),
                              ValueLine(RaceFilter() + QStringLiteral(" and zek = "), bib)});
}

// Every team of the race back to the state before its first exchange; leg 1 keeps its start,
// which is the team's start.
void ResetRelays() {
    const QString race = RaceFilter();
    TQuery& edit = Dm1->Qedit;
    RunStatement(edit, {QStringLiteral("update result set startedtime = '',runtime = ''"),
                        QStringLiteral(",status = 'A',midfin2 = ''"), race});
    RunStatement(edit, {QStringLiteral("update tdc_mid set sumi = '0'"), race});
    RunStatement(edit, {QStringLiteral("update relaymember set startedtime = '',finishtime = '',"
                                       "runtime = ''"),
                        QStringLiteral(",status = 'S'"), race + QStringLiteral(" and num <> '1'")});
    RunStatement(
        edit, {QStringLiteral("update relaymember set status = 'T',finishtime = '',runtime = ''"),
               race + QStringLiteral(" and num = '1'")});
}

// The runners who finished `leg`. The fourth line ends in the bare leg time, which the leg
// line's "and" turns into a condition: only legs with a time are listed.
void ListLeg(int leg, QLineEdit* statementBox) {
    const QString order = leg == 1 ? QStringLiteral("finishtime") : QStringLiteral("b.runtime");
    TQuery& list = Dm1->QRelay1;
    list.SetSQL(
        {QStringLiteral("select a.zek,a.num,a.finishtime,a.runtime as runt,b.runtime as runtt"),
         QStringLiteral("from relaymember a,result b"),
         RaceLine(QStringLiteral("where a.tcode = ")) + QStringLiteral(" and a.tcode = b.tcode"),
         QStringLiteral("and a.zek = b.zek and a.runtime"),
         QStringLiteral("and a.num = '%1' order by %2").arg(leg).arg(order)});
    statementBox->setText(list.ShownText());
    list.Open();
}

} // namespace

void TFhand::ConnectRelayHandlers() {
    new KeyDownFilter(Edit3, [this](int key) { Edit3KeyDown(key); });
    void (TFhand::*clicks[])() = {&TFhand::CtBR1Click, &TFhand::CtBR2Click, &TFhand::CtBR3Click,
                                  &TFhand::CtBR4Click};
    for (int n = 0; n < RelayTimedLegs; ++n)
        connect(LegButtons[n], &TCuteButton::OnClick, this, Guarded(this, clicks[n]));
    for (TCuteButton* button : LegButtons)
        connect(button, &TCuteButton::OnClick, this, [this] { ReselectBibBox(Edit3); });
    connect(Button3, &QPushButton::clicked, this, Guarded(this, &TFhand::Button3Click));
}

void TFhand::Edit3KeyDown(int key) {
    if (key == 13)
        TakeRelayFinish();
    else if (key == 32)
        HoldRelayDeadHeat();
}

void TFhand::TakeRelayFinish() {
    const QString pendingTime = Ed1->text();
    if (Edit3->text() == QStringLiteral("0")) {
        MarkDeviceTime(Dm1->qsetfin, QStringLiteral("2"), pendingTime);
        ListPendingTimes();
        ShowPendingGaps();
        return;
    }
    const RelayTeam team = TakeRelayBib(Edit3);
    setFTtimeR(team.bib, pendingTime, team.start, team.legs);
    // Whatever the recording decided: a time refused for this team is used up as well.
    MarkDeviceTime(Dm1->Qtemp, QStringLiteral("1"), pendingTime);
    ListPendingTimes();
    ShowPendingGaps();
    ReselectBibBox(Edit3);
    PaintEd1(QColor(255, 255, 255));
}

// The time stays pending, so the next bib with Enter takes the same finish.
void TFhand::HoldRelayDeadHeat() {
    const QString pendingTime = Ed1->text();
    if (Edit3->text() == QStringLiteral("0"))
        return;
    const RelayTeam team = TakeRelayBib(Edit3);
    setFTtimeR(team.bib, pendingTime, team.start, team.legs);
    PaintEd1(QColor(0, 255, 255));
    ListPendingTimes();
    ShowPendingGaps();
    ReselectBibBox(Edit3);
}

void TFhand::setFTtimeR(const QString& Bib, const QString& Tm, const QString& TeamStart, int Legs) {
    const std::vector<RelayLeg> legs = ReadRelayLegs(Bib, Legs, Edit6);
    const int leg = RunningLeg(legs);
    if (leg == 0) {
        ShowMessage(this, NotStartedMessage);
        return;
    }
    const QString legStart = legs[leg - 1].start;
    Memo2->appendPlainText(Tm);
    Memo2->appendPlainText(legStart);
    if (!PassedMinimumTime(legStart, Tm))
        return;
    if (!MayFinishLeg(leg, Legs, CkBLast->isChecked())) {
        ShowMessage(this, LastLegMessage);
        ReselectBibBox(Edit3);
        return;
    }

    const QString legTime = TenthsForm(ElapsedTimeText(legStart, Tm));
    const QString teamTime = TenthsForm(ElapsedTimeText(TeamStart, Tm));
    WriteLegFinish(Bib, leg, legTime, Tm);
    // After the class's last leg there is no leg to start.
    if (leg < Legs)
        StartLeg(Bib, leg + 1, NextLegStart(Tm));
    WriteTeamTime(Bib, teamTime, TeamLetterAfterLeg(leg, Legs));
    Speech->Announce(LegFinishAnnouncement{Bib, leg, Legs, legTime, teamTime}.text());
    if (leg != LastSplitNo) {
        LastSplitNo = leg;
        LegButtons[leg - 1]->Click();
    }
    Dm1->QRelay1.Close();
    Dm1->QRelay1.Open();
    update_execinfo(Dm1->Qwork1, QStringLiteral("C1"));
}

void TFhand::CtBR1Click() {
    ListLeg(1, Edit6);
}
void TFhand::CtBR2Click() {
    ListLeg(2, Edit6);
}
void TFhand::CtBR3Click() {
    ListLeg(3, Edit6);
}
void TFhand::CtBR4Click() {
    ListLeg(4, Edit6);
}

void TFhand::Button3Click() {
    ResetRelays();
    ListPendingTimes();
    ShowPendingGaps();
    Dm1->QRelay1.Close();
    Dm1->QRelay1.Open();
}

void TFhand::PaintEd1(const QColor& colour) {
    Ed1->setStyleSheet(QStringLiteral("background: %1").arg(colour.name()));
}
