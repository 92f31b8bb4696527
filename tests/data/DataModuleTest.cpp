// The data module: its connection, its parameter list and its query objects.
#include "data/Udm1.h"
#include "data/sql/DatabaseError.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

TEST(DataModule, OpensItsConnectionWhenCreatedAndKeepsTheInitialTexts) {
    TestDatabase db;
    TDm1 dm(nullptr, db.Name());
    EXPECT_EQ(Dm1, &dm);
    EXPECT_TRUE(dm.DB.Connected());
    EXPECT_EQ(dm.DB.Params.size(), 17);
    EXPECT_EQ(dm.DB.ParamValue("ODBC DSN"), "TarnikLocal");
    EXPECT_EQ(dm.DB.ParamValue("SQLPASSTHRU MODE"), "SHARED AUTOCOMMIT");
    // The account and password are the data source's.
    EXPECT_EQ(dm.DB.ParamValue("USER NAME"), "");
    EXPECT_EQ(dm.DB.ParamValue("PASSWORD"), "");
    EXPECT_EQ(dm.Qexecinfo.Text(), "select * from execinfo ");
    EXPECT_EQ(dm.Qdeltime.Text(), "select * from midtp2\r\nwhere fl='B'");
    EXPECT_TRUE(dm.Qdpmid.SQL().isEmpty());
    EXPECT_TRUE(dm.QRelay1.Text().contains("a.tcode = '202103111'"));
    // Every initial statement that is a select runs on the schema.
    for (TQuery* q : {&dm.Qexecinfo, &dm.Query1, &dm.Qsttime, &dm.Qmidtime, &dm.Qmidtime2,
                      &dm.Qdeltime, &dm.QRelay1, &dm.Qcheck}) {
        EXPECT_NO_THROW(q->Open()) << q->Name().toStdString();
    }
}

TEST(DataModule, ClosingTheConnectionClosesEveryQuery) {
    TestDatabase db;
    TDm1 dm(nullptr, db.Name());
    dm.Qexecinfo.Open();
    dm.Qsttime.Open();
    dm.DB.Close();
    EXPECT_FALSE(dm.Qexecinfo.Active());
    EXPECT_FALSE(dm.Qsttime.Active());
    EXPECT_FALSE(dm.DB.Connected());
    dm.DB.Open();
    dm.Qexecinfo.Open();
    EXPECT_TRUE(dm.Qexecinfo.Active());
}

TEST(DataModule, ChangesAreVisibleToOtherConnectionsAtOnce) {
    TestDatabase db;
    TDm1 dm(nullptr, db.Name());
    dm.Qedit.Clear();
    dm.Qedit.Add("insert into execinfo (num,tcode) values (1,'R9')");
    dm.Qedit.ExecSQL();
    EXPECT_EQ(db.Scalar("select tcode from execinfo"), "R9"); // no commit needed
}

// The race server's data source is the operator's to set up: until then it is unknown.
TEST(DataModule, AnUnknownDataSourceFailsWithTheDriversMessage) {
    TestDatabase db;
    TDm1 dm(nullptr, db.Name());
    dm.DB.Close();
    dm.DB.Params = TDm1::CreationParams();
    dm.DB.Params[2] = "ODBC DSN=TarnikServer";
    try {
        dm.DB.Open();
        FAIL() << "connected to a data source nobody set up";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains("Data source name not found")) << e.what();
    }
    EXPECT_FALSE(dm.DB.Connected());
}

} // namespace
