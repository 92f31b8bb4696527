// The connection settings in the shared data-source file: a save rewrites its own section
// only, keeps the file the user's alone, reads back what it wrote, and refuses what the file
// cannot hold.
#include "common/AppError.h"
#include "data/sql/ConnectionSettings.h"
#include "data/sql/DatabaseError.h"
#include "data/sql/TDatabase.h"
#include "support/DataSourceFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QByteArray kOthers = "# data sources of this workstation\n"
                           "[TarnikLocal]\n"
                           "Driver=MariaDB Unicode\n"
                           "SOCKET=/run/x.sock\n"
                           "PASSWORD=local;secret\n"
                           "\n"
                           "; kept by hand\n"
                           "[Other]\r\n"
                           "SERVER = far\r\n";

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

mode_t ModeOf(const QString& path) {
    struct stat status{};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_mode & 07777;
}

ServerConnection Headquarters(const QString& caFile) {
    // Characters the file and the connection string must carry as they are.
    return {"race.example", 3307, "tarnik", "station1", "p;w=#{x}[y] 日本", caFile};
}

class Settings : public testing::Test {
protected:
    QString Path(const QString& name) const { return folder.filePath(name); }

    QTemporaryDir folder;
};

TEST_F(Settings, SavingOneServerKeepsEveryOtherLineAndTheFileIsTheUsersAlone) {
    const QString ini = Path("odbc.ini");
    WriteAll(ini, kOthers);
    ::chmod(QFile::encodeName(ini).constData(), 0644);
    WriteAll(Path("ca.pem"), "certificate");
    const ConnectionSettings settings(ini);

    // A writer that trusted the process's file-mode mask would leave the file open to all.
    const mode_t mask = ::umask(0);
    settings.Save(ServerChoice::Server, Headquarters(Path("ca.pem")));
    ::umask(mask);
    const QByteArray section = "[TarnikServer]\n"
                               "Description=Race server\n"
                               "Driver=MariaDB Unicode\n"
                               "SERVER=race.example\n"
                               "PORT=3307\n"
                               "DATABASE=tarnik\n"
                               "USER=station1\n"
                               "PASSWORD=p;w=#{x}[y] 日本\n"
                               "SSLCA=" + Path("ca.pem").toUtf8() + "\n"
                               "SSLVERIFY=1\n"
                               "FORCETLS=1\n";
    EXPECT_EQ(ReadAll(ini), kOthers + "\n" + section);
    EXPECT_EQ(ModeOf(ini), mode_t(0600));
    EXPECT_EQ(settings.Read(ServerChoice::Server), Headquarters(Path("ca.pem")));
    EXPECT_FALSE(settings.Read(ServerChoice::Test));

    // Saved again, in its place; the test server's section goes after it, and without a CA
    // file the server is checked against the system's authorities.
    ServerConnection moved = Headquarters({});
    moved.host = "10.0.0.2";
    settings.Save(ServerChoice::Server, moved);
    settings.Save(ServerChoice::Test, Headquarters(Path("ca.pem")));
    const QByteArray text = ReadAll(ini);
    EXPECT_TRUE(text.startsWith(kOthers + "\n[TarnikServer]\n")) << text.constData();
    EXPECT_EQ(text.count("[TarnikServer]"), 1);
    EXPECT_EQ(text.count("SERVER=race.example"), 1); // the test server's only
    EXPECT_EQ(settings.Read(ServerChoice::Server), moved);
    EXPECT_EQ(settings.Read(ServerChoice::Test), Headquarters(Path("ca.pem")));
    // Nothing of the writes is left beside the file.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(Settings, AFileNotThereYetIsMadeInAFolderOfTheUsersOwn) {
    const QString ini = Path("db/odbc.ini");
    ConnectionSettings(ini).Save(ServerChoice::Test, Headquarters({}));
    EXPECT_EQ(ModeOf(Path("db")), mode_t(0700));
    EXPECT_EQ(ModeOf(ini), mode_t(0600));
    EXPECT_TRUE(ReadAll(ini).startsWith("[TarnikTest]\nDescription=Test server\n"));
}

TEST_F(Settings, FieldsTheFileCannotHoldAreRefusedAndNothingIsWritten) {
    const QString ini = Path("odbc.ini");
    WriteAll(ini, kOthers);
    const ConnectionSettings settings(ini);
    const QList<std::pair<std::function<void(ServerConnection&)>, QString>> refused = {
        {[](ServerConnection& c) { c.password = "line\nbreak"; },
         "パスワードに改行や制御文字は使えません。"},
        {[](ServerConnection& c) { c.password = "secret "; },
         "パスワードの先頭と末尾に空白は使えません。"},
        {[](ServerConnection& c) { c.host = " race.example"; },
         "ホストの先頭と末尾に空白は使えません。"},
        {[](ServerConnection& c) { c.database = "tar\tnik"; },
         "データベースに改行や制御文字は使えません。"},
        {[](ServerConnection& c) { c.account.clear(); }, "アカウントを入力してください。"},
        {[](ServerConnection& c) { c.port = 0; }, "ポート番号は 1〜65535 で入力してください。"},
        {[](ServerConnection& c) { c.port = 65536; },
         "ポート番号は 1〜65535 で入力してください。"},
        {[this](ServerConnection& c) { c.caFile = Path("missing.pem"); },
         "CA ファイル「" + Path("missing.pem") + "」を読めません。"},
    };
    for (const auto& [spoil, message] : refused) {
        ServerConnection connection = Headquarters({});
        spoil(connection);
        try {
            settings.Save(ServerChoice::Server, connection);
            ADD_FAILURE() << "kept: " << qPrintable(message);
        } catch (const AppError& error) {
            EXPECT_EQ(error.message(), message);
        }
    }
    EXPECT_EQ(ReadAll(ini), kOthers);
}

TEST_F(Settings, TheNextConnectionReadsWhatWasJustSaved) {
    const QByteArray savedOdbcIni = qgetenv("ODBCINI");
    const QString ini = Path("odbc.ini");
    const ConnectionSettings settings(ini);
    ServerConnection refusing = Headquarters({});
    refusing.host = "127.0.0.1";
    refusing.port = 9;
    settings.Save(ServerChoice::Test, refusing);
    PointOdbcIniAt(ini.toLocal8Bit(), Path("scratch.ini"));
    const auto connectionError = [] {
        TDatabase database;
        database.Params = {"ODBC DSN=TarnikTest"};
        try {
            database.Open();
        } catch (const DatabaseError& error) {
            return error.message();
        }
        return QString();
    };
    EXPECT_TRUE(connectionError().contains("Can't connect to server on '127.0.0.1'"));

    // unixODBC would answer from what it read a moment ago.
    ServerConnection unknown = refusing;
    unknown.host = "no-such-host.invalid";
    settings.Save(ServerChoice::Test, unknown);
    const QString error = connectionError();
    PointOdbcIniAt(savedOdbcIni, Path("scratch.ini"));
    EXPECT_TRUE(error.contains("Unknown server host 'no-such-host.invalid'")) << qPrintable(error);
}

} // namespace
