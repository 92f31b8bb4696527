// Values in statements reach the server as what they are, whatever characters they hold.
#include "data/Udm1.h"
#include "data/sql/DatabaseError.h"
#include "data/sql/SqlValue.h"
#include "data/sql/StatementLines.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

const QString Yen = QString::fromUtf8("\u00a5");

TEST(SqlValue, IsAnAsciiLiteralOfTheShiftJisBytesAndShowsAsTyped) {
    EXPECT_EQ(SqlValue("0012"), "_sjis X'30303132'");
    EXPECT_EQ(SqlValue(""), "_sjis X''");
    EXPECT_EQ(SqlValue(Yen + "'"), "_sjis X'5C27'"); // the driver's byte for the yen sign
    EXPECT_EQ(SqlValue(QStringLiteral("ソ表")), "_sjis X'835C955C'");
    EXPECT_THROW(SqlValue(QStringLiteral("한")), UnstorableTextError);
    EXPECT_EQ(ShownStatement(
                  {ValueLine("update t set a = ", "O'Neil", ","), ValueLine("where b = ", "ソ")}),
              QStringList({"update t set a = 'O'Neil',", "where b = 'ソ'"}));
    EXPECT_EQ(FromShiftJisWire(QString::fromUtf8("a\u00a5b\u203e")), "a\\b~");
}

TEST(SqlValue, HostileValuesAreStoredAsTypedAndNeverChangeTheStatement) {
    TestDatabase db;
    TDm1 dm(nullptr, db.Name());
    db.Exec("insert into tiki (tcode) values ('R1'), ('R2')");
    const QStringList values = {Yen + "', TIKIMEI=0x58, tcode=0x5232 -- ",
                                "\\'",
                                "'; delete from tiki; --",
                                "--",
                                QStringLiteral("ソ表能"),
                                QStringLiteral("C:\\temp\\"),
                                "x%_'\"",
                                Yen + Yen + "'"};
    for (const QString& value : values) {
        dm.Qedit.SetSQL({ValueLine("update tiki set TIKIMEI = ", value), "where tcode = 'R1'"});
        dm.Qedit.ExecSQL();
        dm.qsetfin.SetSQL(
            {"select * from tiki where tcode = 'R1'", ValueLine("and TIKIMEI = ", value)});
        dm.qsetfin.Open();
        ASSERT_EQ(dm.qsetfin.RecordCount(), 1) << value.toStdString();
        // Read back, the yen sign is the backslash byte it was sent as.
        EXPECT_EQ(dm.qsetfin.FieldByName("TIKIMEI").AsString(), FromShiftJisWire(value));
        // Read as bytes, as the lists read, it is the same text.
        dm.qsetfin.SetSQL({"select " + ByteColumns({"t.TIKIMEI"}) + " from tiki t",
                           "where tcode = 'R1' order by t.TIKIMEI"});
        dm.qsetfin.Open();
        EXPECT_EQ(dm.qsetfin.FieldByName("TIKIMEI").AsString(), FromShiftJisWire(value));
    }
    EXPECT_EQ(db.Rows("select tcode, TIKIMEI from tiki where tcode = 'R2'"),
              QList<QStringList>({{"R2", ""}}));
    EXPECT_EQ(db.Scalar("select count(*) from tiki"), "2");
    // Byte-exact: backslash the single byte 5C, ソ表 as 835C 955C, and a NUL kept (the
    // driver cuts text it returns at a NUL, so this one is checked byte by byte).
    dm.Qedit.SetSQL({ValueLine("update tiki set TIKIMEI = ",
                               QString::fromLatin1("a\0'b", 4) + QStringLiteral("ソ\\表")),
                     "where tcode = 'R1'"});
    dm.Qedit.ExecSQL();
    EXPECT_EQ(db.Scalar("select hex(TIKIMEI) from tiki where tcode = 'R1'"),
              "61002762835C5C955C");
    // Read as bytes, the NUL and what follows it come back too; NULL stays apart from ''.
    dm.qsetfin.SetSQL({"select " + ByteColumns({"TIKIMEI", "syumoku"}) + " from tiki",
                       "where tcode = 'R1'"});
    dm.qsetfin.Open();
    EXPECT_EQ(dm.qsetfin.FieldByName("TIKIMEI").AsString(),
              QString::fromLatin1("a\0'b", 4) + QStringLiteral("ソ\\表"));
    dm.qsetfin.SetSQL({"select " + ByteColumns({"n", "e"}) + " from (select null n, '' e) x"});
    dm.qsetfin.Open();
    EXPECT_TRUE(dm.qsetfin.Value(0, 0).isNull());
    EXPECT_FALSE(dm.qsetfin.Value(0, 1).isNull());
    EXPECT_EQ(dm.qsetfin.Value(0, 1), "");
}

} // namespace
