// The window's lists page by page while another workstation stores newer rows at their top:
// the device times, the passing log and the split list, each as the race opens them, a
// window of rows at a time. Every row is held once, none is skipped, and a read again keeps
// the rows already scrolled to.
#include "data/RaceInWork.h"
#include "data/Udm1.h"
#include "data/reads/RelayLegList.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <functional>

namespace {

class ListPages : public testing::Test {
protected:
    void SetUp() override {
        db.Exec("insert into execinfo (num,tcode,updx,stat) values (1,'R1',0,'')");
        db.Exec("insert into tiki (tcode,syumoku,TIKIMEI) values ('R1','01','テスト大会')");
    }

    void OpenRace() { OpenRaceInWork(dm); }

    // The minute of row n's time: rows 6 and 7 share that of 5, 17 that of 16 (at the edge of
    // the first window) and 31 that of 30, as dead heats do.
    static QString TimeOf(int n) {
        const int minute = n - (n == 6 || n == 17 || n == 31 ? 1 : n == 7 ? 2 : 0);
        return QStringLiteral("10:%1:00.0000").arg(minute, 2, 10, QLatin1Char('0'));
    }

    // Stamps `first` .. `last`, ten to a second of arrival.
    void AddStamps(int first, int last) {
        for (int n = first; n <= last; ++n)
            db.Exec(QStringLiteral("insert into tdc_mid (tcode,dt,bib,st,tm,tstat,zek) values "
                                   "('R1', '2026-08-12 09:00:00' + interval %1 second, '%2', "
                                   "'C1', '%3', ' ', '%2')")
                        .arg(n / 10)
                        .arg(n, 4, 10, QLatin1Char('0'))
                        .arg(TimeOf(n)));
    }

    void AddPassings(int first, int last) {
        for (int n = first; n <= last; ++n)
            db.Exec(QStringLiteral("insert into midjyun (tcode,bib,mtime,tod) values "
                                   "('R1','%1','00:30:00.0000','%2')")
                        .arg(n, 3, 10, QLatin1Char('0'))
                        .arg(TimeOf(n)));
    }

    // Competitors through split 1.
    void AddSplits(int first, int last) {
        for (int n = first; n <= last; ++n)
            db.Exec(QStringLiteral("insert into result (tcode,zek,bib,class1,midfin1) values "
                                   "('R1','%1','%1','M','%2')")
                        .arg(n, 4, 10, QLatin1Char('0'))
                        .arg(TimeOf(n)));
    }

    // The rows the query holds, each named by these fields.
    static QStringList Held(const TQuery& query, const QStringList& fields) {
        QStringList held;
        for (int row = 0; row < query.RecordCount(); ++row) {
            QStringList values;
            for (const QString& field : fields)
                values << query.Value(row, query.FieldIndex(field));
            held << values.join('|');
        }
        return held;
    }

    static void FetchAll(TQuery& query) {
        for (int pages = 0; query.CanFetchMore() && pages < 100; ++pages)
            query.FetchMore();
    }

    // Each row of a select that names the rows as Held does.
    QStringList Stored(const QString& all) const {
        QStringList stored;
        for (const QStringList& row : db.Rows(all))
            stored << row.join('|');
        return stored;
    }

    // The query holds each of `expected` exactly once, and nothing else.
    static void ExpectEveryRowOnce(const TQuery& query, const QStringList& fields,
                                   QStringList expected) {
        QStringList held = Held(query, fields);
        const qsizetype shown = held.size();
        EXPECT_EQ(held.removeDuplicates(), 0) << qPrintable(held.join(' '));
        EXPECT_EQ(shown, expected.size());
        held.sort();
        expected.sort();
        EXPECT_EQ(held.join(' '), expected.join(' '));
    }

    // A window of rows, newer rows stored at the top, the rest fetched; newer again and a
    // read again: every row once, the rows scrolled to kept, and nothing more to fetch.
    void PageWhileRowsArrive(TQuery& query, const QStringList& fields, const QString& all,
                             const std::function<void(int, int)>& add) {
        add(1, 40);
        OpenRace();
        ASSERT_EQ(query.FetchWindow(), TDm1::GridWindowRows);
        ASSERT_EQ(query.RecordCount(), TDm1::GridWindowRows);
        const QStringList first = Stored(all);
        add(41, 45);
        FetchAll(query);
        ExpectEveryRowOnce(query, fields, first);
        add(46, 48);
        query.Open();
        // The newer rows on top, and below them the rows the operator had scrolled to.
        ExpectEveryRowOnce(query, fields, Stored(all));
        FetchAll(query);
        ExpectEveryRowOnce(query, fields, Stored(all));
    }

    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
};

TEST_F(ListPages, DeviceTimesShowOnceWhileStampsArrive) {
    PageWhileRowsArrive(dm.Qdpmid, {"id"}, "select id from tdc_mid",
                        [this](int first, int last) { AddStamps(first, last); });
}

TEST_F(ListPages, PassingsWithoutAKeyOfTheirOwnShowOnceWhileMoreAreLogged) {
    PageWhileRowsArrive(dm.Qmidtime2, {"bib", "tod"}, "select bib, tod from midjyun",
                        [this](int first, int last) { AddPassings(first, last); });
}

TEST_F(ListPages, SplitsShowOnceWhileMoreRunnersPass) {
    PageWhileRowsArrive(dm.Qmidtime, {"zek"}, "select zek from result",
                        [this](int first, int last) { AddSplits(first, last); });
}

// Two tables, and a column name both have: the next window goes on by the column the list
// shows, in arrival order.
TEST_F(ListPages, RelayArrivalsPageByTheirTimeOfTheFirstLeg) {
    for (int n = 1; n <= 30; ++n) {
        const QString zek = QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
        db.Exec(QStringLiteral("insert into relaymember (tcode,zek,num,finishtime,runtime) "
                               "values ('R1','%1','1','%2','   10:00.0')")
                    .arg(zek, TimeOf(n)));
        db.Exec(QStringLiteral("insert into result (tcode,zek,finishtime,runtime) values "
                               "('R1','%1','11:00:00.0000','   10:00.0')")
                    .arg(zek));
    }
    OpenRace();
    TQuery& relay = dm.QRelay1;
    relay.SetSQL(RelayLegListStatement(1));
    relay.Open();
    ASSERT_EQ(relay.RecordCount(), TDm1::GridWindowRows);
    FetchAll(relay);
    ExpectEveryRowOnce(relay, {"zek"}, Stored("select zek from relaymember"));
}

} // namespace
