// Values spliced into statements are stored exactly as sent.
#include "data/SqlText.h"
#include "data/Udm1.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

TEST(SqlEscape, DoublesQuotesAndEscapesBackslashes) {
    EXPECT_EQ(SqlEscape("it's"), "it''s");
    EXPECT_EQ(SqlEscape("a\\b"), "a\\\\b");
    EXPECT_EQ(SqlEscape(QString::fromLatin1("a\0b", 3)), "a\\0b");
    EXPECT_EQ(SqlEscape(QStringLiteral("ソ表")), QStringLiteral("ソ表"));
}

TEST(FromShiftJisWire, GivesBackBackslashAndTilde) {
    EXPECT_EQ(FromShiftJisWire(QString::fromUtf8("a\u00a5b\u203e")), "a\\b~");
    EXPECT_EQ(FromShiftJisWire(QStringLiteral("ソ表")), QStringLiteral("ソ表"));
}

TEST(SplicedValues, RoundTripThroughTheServer) {
    TestDatabase db;
    TDm1 dm(nullptr, db.Name());
    const QList<QString> values = {
        QStringLiteral("O'Brien"),        QStringLiteral("'; delete from result; --"),
        QStringLiteral("C:\\temp\\"),     QStringLiteral("\\'"),
        QStringLiteral("ソ表\\'ソ"),      QStringLiteral("a~b?c"),
        QStringLiteral("x%_'\"")};
    db.Exec("insert into tiki (tcode) values ('R1')");
    for (const QString& value : values) {
        dm.Qedit.Clear();
        dm.Qedit.Add("update tiki set TIKIMEI = '" + SqlEscape(value) + "'");
        dm.Qedit.Add("where tcode = 'R1'");
        dm.Qedit.ExecSQL();
        dm.qsetfin.Clear();
        dm.qsetfin.Add("select * from tiki where tcode = 'R1'");
        dm.qsetfin.Add("and TIKIMEI = '" + SqlEscape(value) + "'");
        dm.qsetfin.Open();
        ASSERT_EQ(dm.qsetfin.RecordCount(), 1) << value.toStdString();
        EXPECT_EQ(dm.qsetfin.FieldByName("TIKIMEI").AsString(), value);
    }
    EXPECT_EQ(db.Scalar("select count(*) from tiki"), "1");
    // Byte-exact storage: backslash as the single byte 5C, ソ表 as 835C 955C.
    dm.Qedit.Clear();
    dm.Qedit.Add("update tiki set TIKIMEI = '" + SqlEscape(QStringLiteral("ソ\\表'")) + "'");
    dm.Qedit.ExecSQL();
    EXPECT_EQ(db.Scalar("select hex(TIKIMEI) from tiki"), "835C5C955C27");
    // A NUL byte reaches the server intact (the driver cuts text it returns at a NUL, so
    // this one is checked byte by byte).
    dm.Qedit.Clear();
    dm.Qedit.Add("update tiki set TIKIMEI = '" + SqlEscape(QString::fromLatin1("a\0'b", 4)) + "'");
    dm.Qedit.ExecSQL();
    EXPECT_EQ(db.Scalar("select hex(TIKIMEI) from tiki"), "61002762");
}

} // namespace
