// The pending-time panel, the count of unprocessed times, the lists and the split point
// whose passing list is shown.
#include "Uhand.h"

#include "common/ErrorReport.h"

#include "common/uComm.h"
#include "controls/CuteBtn.h"
#include "controls/REdit.h"
#include "data/Udm1.h"
#include "data/actions/ActionHistory.h"
#include "data/actions/ChangeList.h"
#include "data/actions/HandStamp.h"
#include "data/actions/StampColumns.h"
#include "data/reads/ListReader.h"
#include "data/reads/RaceCache.h"
#include "data/rules/SplitRules.h"
#include "data/sql/DatabaseError.h"
#include "data/sql/StatementLines.h"
#include "device/StampStore.h"
#include "timing/session/LapSession.h"
#include "timing/widgets/AttentionList.h"
#include "timing/widgets/SplitPointPage.h"
#include "timing/widgets/StatusStrip.h"
#include "timing/widgets/TDBGrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QTabWidget>
#include <QTimer>

namespace {

constexpr int PendingBoxes = 10;
// Pending rows read at a time: the panel's ten and those this workstation's unsent actions
// may have taken.
constexpr int PendingRowsRead = 200;
// The lists are read again this often without a change of this workstation's.
constexpr int ListRefreshMs = 2000;
const QString PendingFilter = QStringLiteral("and sumi = '0' and st = 'C1' and BINARY TSTAT <>'c'");

} // namespace

void TFhand::ConnectPendingHandlers() {
    Dm1->Dsmidtime.SetColumns({{QStringLiteral("bib"), QStringLiteral("ビブ")},
                               {QStringLiteral("Midtime1"), QStringLiteral("タイム")},
                               {QStringLiteral("Midfin1"), QStringLiteral("時刻")}});
    // The passing log shows the bib its passing was taken for, not the log's own three
    // characters (2017 and 0017 are both "017" there).
    Dm1->Dsmidtime2.SetColumns({{QStringLiteral("zek"), QStringLiteral("ビブ")},
                                {QStringLiteral("MTIME"), QStringLiteral("タイム")},
                                {QStringLiteral("TOD"), QStringLiteral("時刻")},
                                {QStringLiteral("deadheat"), QStringLiteral("備考")},
                                {QStringLiteral("hand"), QStringLiteral("手")}});
    // The result table keeps a bib as registered ("12"), the passing log (where no result
    // row names it) as "012": both show "0012", as the bib box and the strip do.
    Dm1->Dsmidtime.ShowColumnAs(0, ShownBib);
    Dm1->Dsmidtime2.ShowColumnAs(0, ShownBib);
    Dm1->Dsqdpmid.SetColumns({{QStringLiteral("TM"), QStringLiteral("時刻")}});
    Dm1->DSRelay1.SetColumns({{QStringLiteral("zek"), QStringLiteral("ビブ")},
                              {QStringLiteral("finishtime"), QStringLiteral("到着時刻")},
                              {QStringLiteral("runt"), QStringLiteral("区間")},
                              {QStringLiteral("runtt"), QStringLiteral("通算")},
                              {QStringLiteral("forced"), QStringLiteral("備考")}});
    // Widths once the columns exist: a time of day, a running time, a bib.
    const std::pair<TDBGrid*, QList<int>> widths[] = {{DBGrid2, {56, 100, 118}},
                                                      {DBGrid3, {44, 72, 100, 30, 20}},
                                                      {DBGrid1, {110}},
                                                      {DBGrid6, {56, 118, 100, 100, 48}}};
    for (const auto& [grid, columns] : widths) {
        for (int c = 0; c < columns.size(); ++c)
            grid->setColumnWidth(c, columns[c]);
    }

    void (TFhand::*clicks[])() = {&TFhand::CuteButton1Click, &TFhand::CuteButton2Click,
                                  &TFhand::CuteButton3Click, &TFhand::CuteButton4Click,
                                  &TFhand::CuteButton5Click};
    for (int n = 0; n < 5; ++n)
        connect(SplitButtons[n], &TCuteButton::OnClick, this, Guarded(this, clicks[n]));
    // The next bib typed after choosing a split point goes to the bib box, not the button.
    for (TCuteButton* button : SplitButtons)
        connect(button, &TCuteButton::OnClick, this, [this] { ReselectBibBox(Edit5); });
    connect(DBGrid1, &TDBGrid::EnterPressed, this, Guarded(this, &TFhand::DBGrid1KeyDown));
    connect(DBGrid6, &TDBGrid::EnterPressed, this, Guarded(this, &TFhand::DBGrid1KeyDown));
    // Another workstation's stamps and splits show without a key press here; a read still
    // under way (a slow server) is not asked for again.
    auto* listRefresh = new QTimer(this);
    listRefresh->setInterval(ListRefreshMs);
    connect(listRefresh, &QTimer::timeout, this, [this] {
        if (isVisible() && !Lists->Busy())
            RunGuarded([this] { ListPendingTimes(); });
    });
    listRefresh->start();
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 0 || PageControl1->widget(index) == TabSheet5)
            TabSheet1Show();
        else if (index == 2)
            TabSheet3Show();
        else
            TabSheet2Show(); // the settings and the history: no pending times
    });
}

QStringList TFhand::PendingStatement() const {
    // The age of each time by the server's clock, which gave dt: the oldest's is the strip's.
    // The count of all waiting times is a subquery over the pending index, read once with the
    // rows; id orders the stamps of one second as they arrived. A race database made without
    // the program's own columns names its stamps by what it has.
    const QString jidColumn = CurrentStampColumns().jid
                                  ? QStringLiteral("cast(jid as binary) as jid")
                                  : QStringLiteral("'' as jid");
    return {RaceLine(QStringLiteral("select ") + StampIdColumn() + QStringLiteral(", ") +
                     ByteColumns({QStringLiteral("tm")}) + QLatin1Char(',') + jidColumn +
                     QLatin1Char(',') + StampByHandColumn() +
                     QStringLiteral(", timestampdiff(second, dt, now()) as age, "
                                    "(select count(*) from tdc_mid where tcode = ")),
            PendingFilter + QStringLiteral(") as waiting"),
            RaceLine(QStringLiteral("from tdc_mid where tcode = ")), PendingFilter,
            QStringLiteral("order by ") + StampArrivalOrder()};
}

void TFhand::ListPendingTimes() {
    // The panel shows ten, but this workstation's own unsent actions may have taken some of
    // them: more are read, each row carrying the count of all.
    std::vector<ListRead> reads = {
        {QStringLiteral("pending"), PendingStatement(), PendingRowsRead},
        ReadAgain(QStringLiteral("splits"), Dm1->Qmidtime),
        ReadAgain(QStringLiteral("passings"), Dm1->Qmidtime2),
        ReadAgain(QStringLiteral("devices"), Dm1->Qdpmid)};
    if (PageControl1->currentWidget() == TabSheet3 || Dm1->QRelay1.Active())
        reads.push_back(ReadAgain(QStringLiteral("relay"), Dm1->QRelay1));
    // What other workstations changed reaches the key presses' copy; the whole race now and
    // then, for what other programs changed.
    if (ChangeListKept()) {
        reads.push_back({QStringLiteral("changes"), ChangesAfterStatement(changesSeen_), 0});
        reads.push_back(
            {QStringLiteral("changed competitors"),
             RaceCache::ChangedCompetitorsStatement(changesSeen_, wholeChangeSeen_), 0});
        reads.push_back({QStringLiteral("changed teams"),
                         RaceCache::ChangedTeamsStatement(changesSeen_, wholeChangeSeen_), 0});
    }
    if (WholeRaceDue()) {
        reads.push_back({QStringLiteral("classes"), RaceCache::ClassLimitsStatement(), 0});
        reads.push_back(
            {QStringLiteral("whole competitors"), RaceCache::WholeCompetitorsStatement(), 0});
        reads.push_back({QStringLiteral("whole teams"), RaceCache::WholeTeamsStatement(), 0});
        wholeRaceAsked_ = Lists->NextRequest();
    }
    listedSplit_ = DisplayedSplit.toInt();
    for (ListRead& read : ViewReads())
        reads.push_back(std::move(read));
    Lists->Request(std::move(reads));
}

void TFhand::ShowLists(const ListSnapshots& lists) {
    RaceReadFromServer();
    const auto adopt = [&lists](const char* name, TQuery& query) {
        if (const auto it = lists.find(QLatin1String(name)); it != lists.end())
            query.Adopt(it->second);
    };
    adopt("pending", Dm1->QTDCFINMem);
    adopt("splits", Dm1->Qmidtime);
    adopt("passings", Dm1->Qmidtime2);
    adopt("devices", Dm1->Qdpmid);
    adopt("relay", Dm1->QRelay1);
    FillCache(lists);
    ShowView(lists);
    FollowRecordedBib();
    unstoredAhead_.ListsRead(Lists->Answered());
    takenAhead_.ListsRead(Lists->Answered());
    addedAhead_.ListsRead(Lists->Answered());
    TakePendingRows();
    ShowPendingTimes();
    ShowGaps();
}

void TFhand::ReadListsHere() {
    TQuery& pending = Dm1->QTDCFINMem;
    pending.SetFetchWindow(PendingRowsRead);
    pending.SetSQL(PendingStatement());
    pending.Open();
    TakePendingRows();
    Dm1->Qmidtime.Open();
    listedSplit_ = DisplayedSplit.toInt();
    FollowRecordedBib();
    Dm1->Qmidtime2.Open();
    Dm1->Qdpmid.Open();
    ShowPendingTimes();
    ShowGaps();
}

void TFhand::TakePendingRows() {
    const TQuery& pending = Dm1->QTDCFINMem;
    pendingSnapshot_.server.clear();
    const int id = pending.FieldIndex(QStringLiteral("id"));
    const int jid = pending.FieldIndex(QStringLiteral("jid"));
    const int tm = pending.FieldIndex(QStringLiteral("tm"));
    const int age = pending.FieldIndex(QStringLiteral("age"));
    const int hand = pending.FieldIndex(QStringLiteral("hand"));
    for (int row = 0; row < pending.RecordCount(); ++row)
        pendingSnapshot_.server.push_back(
            {{pending.Value(row, id).toLongLong(), pending.Value(row, jid),
              pending.Value(row, tm).trimmed()},
             pending.Value(row, age).toLongLong(),
             !pending.Value(row, hand).isEmpty()});
    pendingSnapshot_.serverCount =
        pending.RecordCount() == 0
            ? 0
            : pending.Value(0, pending.FieldIndex(QStringLiteral("waiting"))).toInt();
}

void TFhand::ShowPendingTimes() {
    pendingSnapshot_.unstored =
        unstoredAhead_.Update(stamps_->Unstored(uComm::RaceCode), Lists->NextRequest());
    pendingSnapshot_.typed = addedAhead_.Update(History->AddedStamps(), Lists->NextRequest());
    pending_ = BuildPending(pendingSnapshot_,
                            takenAhead_.Update(History->TakenStamps(), Lists->NextRequest()));
    Labmisyori->setText(QStringLiteral("未処理数 = ") + QString::number(pending_.count));
    Strip->ShowWaiting(
        {pending_.count, pending_.times.empty() ? 0 : pending_.times.front().ageSeconds});
    for (QLineEdit* box : TimeBoxes) {
        box->clear();
        MarkTypedByHand(box, false);
    }
    for (QLineEdit* box : GapBoxes)
        box->clear();
    int k = 0;
    // A time held for a dead heat is the one the next bib + Enter takes: it heads the panel.
    if (const std::optional<StampRef>& held = Lap->Held())
        TimeBoxes[k++]->setText(held->time.trimmed());
    for (std::size_t row = 0; row < pending_.times.size() && k < PendingBoxes; ++row, ++k) {
        TimeBoxes[k]->setText(pending_.times[row].stamp.time.trimmed());
        MarkTypedByHand(TimeBoxes[k], pending_.times[row].byHand);
    }
    KeepPendingCopy();
}

void TFhand::MarkTypedByHand(QLineEdit* box, bool byHand) {
    // Italic, with the word on hover; set only when it changes, as each key press shows the
    // panel again.
    if (box->font().italic() == byHand)
        return;
    QFont font = box->font();
    font.setItalic(byHand);
    box->setFont(font);
    box->setToolTip(byHand ? HandStampLine : QString());
}

std::optional<StampRef> TFhand::HeadStamp() const {
    if (pending_.times.empty())
        return std::nullopt;
    return pending_.times.front().stamp;
}

void TFhand::ShowGaps() {
    // The gap is neither made positive nor wrapped at midnight: an out-of-order stamp shows.
    QString previous = Ed1->text();
    for (int k = 1; k < PendingBoxes; ++k) {
        const QString time = TimeBoxes[k]->text();
        if (!time.isEmpty()) {
            const int gap = TimeTextToMs(time) - TimeTextToMs(previous);
            GapBoxes[k - 1]->setText(TrimDiff(MsToTenthsText(gap)));
        }
        previous = time;
    }
}

void TFhand::RefreshPanel() {
    // The panel first: what was stored or taken just now stays as it is shown until a read
    // asked for after now.
    ShowPendingTimes();
    ShowGaps();
    ListPendingTimes();
}

void TFhand::ShowPendingGaps() {
    ShowGaps();
}

int TFhand::UnsentCount() const {
    return History->WaitingCount();
}

bool TFhand::ReadingLists() const {
    return Lists->Busy();
}

void TFhand::LoadCache() {
    TQuery reading(Dm1->DB, QStringLiteral("CacheReading"));
    // Where the change list stands first: what comes after it is not in the copy.
    if (EnsureChangeListTable(reading)) {
        reading.SetSQL(LastChangeStatement());
        reading.Open();
        TakeChanges(reading);
        reading.Close();
    }
    Cache->Load(reading);
    Cache->ExpectWaiting(History->Actions());
    wholeRaceRead_.start();
}

void TFhand::TakeChanges(const TQuery& changes) {
    changesSeen_ = changes.Value(0, changes.FieldIndex(QStringLiteral("last"))).toLongLong();
    // A reset anywhere came whole with the changed rows of the same read.
    wholeChangeSeen_ = std::max(
        wholeChangeSeen_, changes.Value(0, changes.FieldIndex(QStringLiteral("whole"))).toLongLong());
}

bool TFhand::WholeRaceDue() const {
    // Asked for once at a time; again after a read failed (the server was away).
    return wholeRaceAsked_ <= Lists->Answered() &&
           (wholeRaceWanted_ || !wholeRaceRead_.isValid() ||
            wholeRaceRead_.hasExpired(WholeRaceEveryMs));
}

void TFhand::FillCache(const ListSnapshots& lists) {
    const auto rowsOf = [&](const QString& name) {
        auto rows = std::make_unique<TQuery>(Dm1->DB, name);
        if (const auto it = lists.find(name); it != lists.end())
            rows->Adopt(it->second);
        return rows;
    };
    if (lists.count(QStringLiteral("whole competitors"))) {
        Cache->TakeClassLimits(*rowsOf(QStringLiteral("classes")));
        Cache->TakeWhole(*rowsOf(QStringLiteral("whole competitors")),
                         *rowsOf(QStringLiteral("whole teams")));
        ShowEkidenLegButtons();
        wholeRaceWanted_ = false;
        wholeRaceRead_.start();
    }
    if (lists.count(QStringLiteral("changes"))) {
        Cache->Take(*rowsOf(QStringLiteral("changed competitors")),
                    *rowsOf(QStringLiteral("changed teams")));
        TakeChanges(*rowsOf(QStringLiteral("changes")));
    }
    // What this workstation did that the server has not taken yet stays expected.
    Cache->ExpectWaiting(History->Actions());
}

void TFhand::CuteButton1Click() {
    ChooseSplitPoint(1);
}
void TFhand::CuteButton2Click() {
    ChooseSplitPoint(2);
}
void TFhand::CuteButton3Click() {
    ChooseSplitPoint(3);
}
void TFhand::CuteButton4Click() {
    ChooseSplitPoint(4);
}
void TFhand::CuteButton5Click() {
    ChooseSplitPoint(5);
}

void TFhand::ChooseSplitPoint(int n, bool readNow) {
    DisplayedSplit = QString::number(n);
    reflcuteb();
    SplitButtons[n - 1]->SetColor(QColor(255, 255, 0));
    Dm1->Dsmidtime.BindColumn(1, QStringLiteral("Midtime%1").arg(n));
    Dm1->Dsmidtime.BindColumn(2, QStringLiteral("Midfin%1").arg(n));
    TQuery& splits = Dm1->Qmidtime;
    // The columns the list, the cancel and the bib copy use, of this split point only: a
    // grid refresh reads no more.
    const QStringList columns = {QStringLiteral("zek"), QStringLiteral("bib"),
                                 QStringLiteral("midtime%1").arg(n),
                                 QStringLiteral("midfin%1").arg(n)};
    splits.SetSQL({ValueLine(QStringLiteral("select ") + ByteColumns(columns) +
                                 QStringLiteral(" from result where tcode="),
                             uComm::RaceCode,
                             QStringLiteral(" order by result.midfin%1 desc,result.zek").arg(n))});
    if (readNow)
        ListPendingTimes();
}

void TFhand::reflcuteb() {
    for (TCuteButton* button : SplitButtons)
        button->SetColor(QColor(255, 255, 255));
}

void TFhand::DBGrid1KeyDown() {
    Edit2->setText(Dm1->Qdpmid.FieldByName(QStringLiteral("zek")).AsString());
    Edit2->setFocus();
}

void TFhand::TabSheet1Show() {
    Panel1->setVisible(true);
    Panel3->setVisible(true);
    RelayMinutesPanel->setVisible(false);
    Attention->setVisible(true);
}

void TFhand::TabSheet2Show() {
    Panel1->setVisible(false);
    Panel3->setVisible(false);
    RelayMinutesPanel->setVisible(false);
    Attention->setVisible(false);
}

void TFhand::TabSheet3Show() {
    TabSheet1Show();
    Panel3->setVisible(false);
    RelayMinutesPanel->setVisible(true);
}

void TFhand::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ShowErrorsHere(true);
    if (shown_)
        return;
    shown_ = true;
    FormShow();
}

void TFhand::FormShow() {
    PlacePagesAndStrip();
    if (openedFrom_)
        RestoreCopy();
    else
        LoadCache();
    ShowEkidenLegButtons();
    ChooseSplitPoint(1, false);
    ShowVoiceSettings();
    // Said once, when the window opens on such a race; the program works on regardless.
    const QString missing = MissingStampColumnsMessage(CurrentStampColumns());
    if (!missing.isEmpty())
        Tell({}, missing);
    // Opening the window may wait for the server; everything after reads in the background.
    if (openedFrom_) {
        ShowPendingTimes();
        ShowGaps();
    } else {
        ReadListsHere();
        RaceReadFromServer();
        KeepRaceCopy();
    }
    resize(984, 674 + StatusStrip::Height);
    DisplayedSplit = QStringLiteral("1");
    ShowRaceSettings();
    // The page the window opened on decides where the operator types first.
    QLineEdit* bibBox = PageControl1->currentWidget() == TabSheet3 ? Edit3 : Edit5;
    if (!BibBoxOnShow())
        TabSheet2Show();
    bibBox->setFocus();
    bibBox->selectAll();
}

ActionPage TFhand::PageOnShow() const {
    return PageControl1->currentWidget() == TabSheet3 ? ActionPage::Relay : ActionPage::Lap;
}

QLineEdit* TFhand::BibBoxOnShow() const {
    QWidget* page = PageControl1->currentWidget();
    return page == TabSheet1 ? Edit5 : page == TabSheet3 ? Edit3 : nullptr;
}

void TFhand::ReselectBibBox(QLineEdit* bibBox) {
    Ed1->setFocus();
    bibBox->setFocus();
    bibBox->selectAll();
}
