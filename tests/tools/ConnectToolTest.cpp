// tarnikmid-connect run as a script runs it, against a race server of the test's own: it
// tries, keeps the connection in the data-source file beside the launcher's section, and the
// program's Server choice then reads the race through it; a failed try keeps nothing.
#include "app/DatabaseChoice.h"
#include "data/sql/TDatabase.h"
#include "support/DataSourceFile.h"
#include "support/RaceServer.h"

#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int status = -1;
    QString out;
    QString errors;
};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ConnectTool : public testing::Test {
protected:
    void SetUp() override {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kLocal);
    }
    void TearDown() override { PointOdbcIniAt(savedOdbcIni, folder.filePath("scratch.ini")); }

    ToolRun Connect(const QStringList& arguments, const QByteArray& input = {}) const {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ODBCINI", ini);
        tool.setProcessEnvironment(environment);
        tool.start(TARNIKMID_CONNECT_PATH, arguments);
        tool.write(input);
        tool.closeWriteChannel();
        EXPECT_TRUE(tool.waitForFinished(30000));
        return {tool.exitCode(), QString::fromLocal8Bit(tool.readAllStandardOutput()),
                QString::fromLocal8Bit(tool.readAllStandardError())};
    }

    const QByteArray kLocal = "[TarnikLocal]\nDriver=MariaDB Unicode\nSOCKET=/nowhere\n\n"
                              "# the launcher's\n";
    const QByteArray savedOdbcIni = qgetenv("ODBCINI");
    QTemporaryDir folder;
    const QString ini = folder.filePath("odbc.ini");
};

TEST_F(ConnectTool, KeepsAServerThatAnswersAndTheServerChoiceReadsTheRaceThroughIt) {
    RaceServer race({"station1"});
    ASSERT_TRUE(race.Started()) << qPrintable(race.Problem());
    ASSERT_TRUE(race.LoadSampleRaces());
    const QStringList station = {"server", "--host", "127.0.0.1", "--port",
                                 QString::number(race.Port()), "--database", race.Database(),
                                 "--user", race.Workstation("station1").user, "--password-stdin"};
    const QByteArray password = race.Workstation("station1").password.toUtf8() + "\n";

    const ToolRun untrusted = Connect(station + QStringList{"--ca", race.UntrustedCaFile()}, password);
    EXPECT_EQ(untrusted.status, 1);
    EXPECT_TRUE(untrusted.errors.startsWith("サーバーの証明書を信頼できません")) << qPrintable(untrusted.errors);
    EXPECT_EQ(ReadAll(ini), kLocal);

    const ToolRun saved = Connect(station + QStringList{"--ca", race.CaFile()}, password);
    EXPECT_EQ(saved.status, 0) << qPrintable(saved.errors);
    EXPECT_TRUE(saved.out.contains("TarnikServer に保存しました。")) << qPrintable(saved.out);
    EXPECT_TRUE(ReadAll(ini).startsWith(kLocal));

    const ToolRun shown = Connect({"server", "--show"});
    EXPECT_EQ(shown.status, 0);
    EXPECT_TRUE(shown.out.contains("ポート: " + QString::number(race.Port())));
    EXPECT_FALSE(shown.out.contains(race.Workstation("station1").password));

    PointOdbcIniAt(ini.toLocal8Bit(), folder.filePath("scratch.ini"));
    TDatabase database;
    database.Params = ConnectionParams(2);
    ASSERT_NO_THROW(database.Open());
    QSqlQuery races(database.Connection());
    ASSERT_TRUE(races.exec("select count(*) from tiki"));
    ASSERT_TRUE(races.next());
    EXPECT_GT(races.value(0).toInt(), 0);
}

TEST_F(ConnectTool, AWrongCommandLineIsRefusedWithStatusTwoAndKeepsNothing) {
    const QStringList base = {"test", "--host", "127.0.0.1", "--database", "tarnik", "--user",
                              "station1"};
    const QList<std::pair<QStringList, QString>> refused = {
        {base, "パスワードは --password-file か --password-stdin のどちらかで渡してください。"},
        {QStringList{"elsewhere"}, "server か test のどちらかを指定してください"},
        {base + QStringList{"--password-stdin", "--port", "x"}, "ポート番号「x」は数字ではありません。"},
        {base + QStringList{"--password-file", folder.filePath("none")}, "パスワードのファイル"},
    };
    for (const auto& [arguments, message] : refused) {
        const ToolRun run = Connect(arguments, "secret\n");
        EXPECT_EQ(run.status, 2) << qPrintable(arguments.join(' '));
        EXPECT_TRUE(run.errors.contains(message)) << qPrintable(run.errors);
    }
    // A password with a blank at its end would be cut by the file's reader.
    const ToolRun blank = Connect(base + QStringList{"--password-stdin", "--no-try"}, "secret \n");
    EXPECT_EQ(blank.status, 2);
    EXPECT_TRUE(blank.errors.contains("パスワードの先頭と末尾に空白は使えません。"));
    EXPECT_EQ(ReadAll(ini), kLocal);
}

} // namespace
