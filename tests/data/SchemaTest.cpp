// The race tables on a real server: defaults, status letters, text round trips, the
// change marker.
#include "data/Udm1.h"
#include "data/actions/ExecInfo.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

class Schema : public testing::Test {
protected:
    TestDatabase db;
    TDm1 dm{nullptr, db.Name()};
};

TEST_F(Schema, StampWithoutStatusIsPendingAndLowerCaseCIsNeverOffered) {
    for (const char* tstat : {" ", "?", "c", "C"}) {
        dm.Qwork1.Clear();
        dm.Qwork1.Add("insert into tdc_mid ( tcode,dt,getstr,bib,st,tm,tstat ) values (");
        dm.Qwork1.Add("'R1'");
        dm.Qwork1.Add(",now()");
        dm.Qwork1.Add(",'x'");
        dm.Qwork1.Add(",'0001'");
        dm.Qwork1.Add(",'C1'");
        dm.Qwork1.Add(QStringLiteral(",'10:00:00.000%1'").arg(tstat));
        dm.Qwork1.Add(QStringLiteral(",'%1'").arg(tstat));
        dm.Qwork1.Add(")");
        dm.Qwork1.ExecSQL();
    }
    EXPECT_EQ(db.Scalar("select count(*) from tdc_mid where sumi = '0'"), "4");

    dm.QTDCFINMem.Clear();
    dm.QTDCFINMem.Add("select * from tdc_mid where tcode = 'R1'");
    dm.QTDCFINMem.Add("and sumi = '0' and st = 'C1' and BINARY TSTAT <>'c'");
    dm.QTDCFINMem.Add("order by dt");
    dm.QTDCFINMem.Open();
    QStringList offered;
    for (dm.QTDCFINMem.First(); !dm.QTDCFINMem.Eof(); dm.QTDCFINMem.Next())
        offered << dm.QTDCFINMem.FieldByName("tstat").AsString();
    EXPECT_EQ(offered, QStringList({" ", "?", "C"})); // in order of arrival, blank kept
}

TEST_F(Schema, JapaneseTextRoundTripsThroughTheShiftJisConnection) {
    const QString name = QStringLiteral("第12回 みなと湾岸ハーフマラソン・ソ表能");
    dm.Qedit.Clear();
    dm.Qedit.Add("insert into tiki (tcode,syumoku,TIKIMEI) values ('R1','10','" + name + "')");
    dm.Qedit.ExecSQL();
    // Stored as Shift-JIS bytes: ソ is 83 5C.
    EXPECT_TRUE(db.Scalar("select hex(TIKIMEI) from tiki").contains("835C955C"));
    dm.Qsttime.Clear();
    dm.Qsttime.Add("select * from tiki where tcode='R1'");
    dm.Qsttime.Open();
    EXPECT_EQ(dm.Qsttime.FieldByName("TIKIMEI").AsString(), name);
    EXPECT_EQ(dm.Qsttime.FieldByName("syumoku").AsString(), "10");
}

TEST_F(Schema, ChangeMarkerCountsTenthsSinceMidnight) {
    db.Exec("insert into execinfo (num,tcode) values (1,'R1'), (2,'R2')");
    update_execinfo(dm.Qwork1, "C1", QTime(0, 0, 0, 50));
    EXPECT_EQ(db.Rows("select updx,stat from execinfo where num=1"),
              QList<QStringList>({{"0", "C1"}}));
    update_execinfo(dm.Qwork1, "C1", QTime(23, 59, 59, 900));
    EXPECT_EQ(db.Scalar("select updx from execinfo where num=1"), "863999");
    EXPECT_EQ(db.Scalar("select updx from execinfo where num=2"), "0"); // only row 1
    EXPECT_EQ(TenthsSinceMidnight(QTime(23, 59, 59, 999)), 863999);
    EXPECT_EQ(TenthsSinceMidnight(QTime(12, 0, 0, 99)), 432000);
}

TEST_F(Schema, EveryColumnTheStatementsNameExists) {
    // One statement per table naming every column the program reads or writes.
    db.Exec("select tcode,syumoku,TIKIMEI from tiki");
    db.Exec("select tcode,class,lapn,RELAYN from env");
    db.Exec("select tcode,zek,bib,class1,status,startedtime,midtime1,midtime2,midtime3,"
            "midtime4,midtime5,midfin1,midfin2,midfin3,midfin4,midfin5,midst2,midst3,midst4,"
            "midst5,finishtime,runtime from result");
    db.Exec("select tcode,zek,num,class1,startedtime,finishtime,runtime,status from relaymember");
    db.Exec("select tcode,bib,mtime,tod from midjyun");
    db.Exec("select tcode,dt,getstr,bib,st,tm,tstat,sumi,zek from tdc_mid");
    db.Exec("select num,tcode,updx,stat from execinfo");
    db.Exec("select max(tpno1) as maxn from midtp2");
    EXPECT_THROW(db.Exec("select midtime6 from result"), std::runtime_error);
}

TEST_F(Schema, SampleRacesLoad) {
    db.ExecFile(TestDatabase::SourcePath("data/sample_race.sql"));
    EXPECT_EQ(db.Scalar("select syumoku from tiki where tcode = "
                        "(select tcode from execinfo where num = 1)"),
              "01");
    EXPECT_EQ(db.Scalar("select count(*) from tiki where syumoku = '10'"), "2"); // relay, ekiden
    EXPECT_EQ(db.Scalar("select max(RELAYN) from env"), "10");
    EXPECT_GT(
        db.Scalar("select count(*) from relaymember where num = '1' and status = 'T'").toInt(), 0);
    EXPECT_EQ(db.Scalar("select count(*) from env where lapn > 0"), "3");
}

} // namespace
