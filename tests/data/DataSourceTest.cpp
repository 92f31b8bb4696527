// Grids see a query's rows through its data source and follow every re-open.
#include "data/Udm1.h"
#include "support/TestDatabase.h"

#include <QSignalSpy>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

class DataSource : public testing::Test {
protected:
    void SetUp() override {
        db.Exec("insert into result (tcode,zek,midtime1,midfin1) values"
                " ('R1','0001','   12:00.0','10:12:00.0000'),"
                " ('R1','0002','   13:00.0','10:13:00.0000'),"
                " ('R2','0003','','')");
    }
    void OpenSplitList(const QString& race) {
        dm.Qmidtime.Clear();
        dm.Qmidtime.Add("select * from result where tcode='" + race +
                        "' order by midfin1 desc,zek");
        dm.Qmidtime.Open();
    }
    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
};

TEST_F(DataSource, FollowsOpenCloseAndReopen) {
    TDataSource& source = dm.Dsmidtime;
    source.SetColumns({{"zek", "BIB"}, {"Midtime1", "タイム"}, {"Midfin1", "時刻"}});
    QSignalSpy reset(&source, &QAbstractItemModel::modelReset);
    EXPECT_EQ(source.rowCount(), 0);
    OpenSplitList("R1");
    EXPECT_EQ(source.rowCount(), 2);
    EXPECT_EQ(source.columnCount(), 3);
    EXPECT_EQ(source.headerData(1, Qt::Horizontal).toString(), "タイム");
    EXPECT_EQ(source.data(source.index(0, 0)).toString(), "0002"); // latest passing first
    EXPECT_EQ(source.data(source.index(0, 1)).toString(), "   13:00.0");
    db.Exec("insert into result (tcode,zek,midfin1) values ('R1','0004','10:14:00.0000')");
    OpenSplitList("R1");
    EXPECT_EQ(source.rowCount(), 3);
    dm.Qmidtime.Close();
    EXPECT_EQ(source.rowCount(), 0);
    EXPECT_GE(reset.size(), 3);
}

TEST_F(DataSource, RebindingAColumnShowsAnotherFieldUnderTheSameTitle) {
    TDataSource& source = dm.Dsmidtime;
    source.SetColumns({{"zek", "BIB"}, {"Midtime1", "タイム"}, {"Midfin1", "時刻"}});
    OpenSplitList("R1");
    source.BindColumn(2, "startedtime");
    EXPECT_EQ(source.headerData(2, Qt::Horizontal).toString(), "時刻");
    EXPECT_EQ(source.data(source.index(0, 2)).toString(), "");
    EXPECT_EQ(source.FieldOfRow(1, "MIDFIN1"), "10:12:00.0000");
}

TEST_F(DataSource, AViewFetchesFurtherWindowsOnlyWhenItNeedsThem) {
    db.Exec(
        "insert into tdc_mid (tcode,dt,tm) select 'R1', now(), concat('10:00:', lpad(seq,2,'0'),"
        " '.0000') from seq_1_to_60");
    dm.Qdpmid.SetFetchWindow(20);
    dm.Qdpmid.Clear();
    dm.Qdpmid.Add("select * from tdc_mid where tcode = 'R1'");
    dm.Qdpmid.Add("order by dt desc,tm desc");
    dm.Qdpmid.Open();
    QTableView view;
    view.resize(200, 150);
    view.setModel(&dm.Dsqdpmid);
    view.show();
    EXPECT_EQ(dm.Dsqdpmid.rowCount(), 20);
    view.scrollToBottom();
    QCoreApplication::processEvents();
    EXPECT_GT(dm.Dsqdpmid.rowCount(), 20);
    EXPECT_EQ(dm.Dsqdpmid.FieldOfRow(0, "tm"), "10:00:60.0000");
}

} // namespace
