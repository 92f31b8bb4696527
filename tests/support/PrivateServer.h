#pragma once
// A database server of one test suite's own, which its tests stop, start again and pause
// (the shared test server must never be): scripts/localdb.sh in a folder of the suite's, and
// every connection of the suite sent to it by the data sources of that folder.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class PrivateServer {
public:
    // Starts the server and points ODBCINI at its data sources. Called from SetUpTestSuite
    // with EXPECT, not ASSERT: a fatal failure there would show the suite as skipped.
    static bool Start();
    // Points ODBCINI back and kills the server with its folder.
    static void Finish();

    // scripts/localdb.sh with a command ("stop", "start"), the events running meanwhile.
    static bool Run(const QString& command);
    // SIGSTOP pauses the server as a hung one, SIGCONT lets it go on.
    static void Signal(int signal);

private:
    static void UseDataSources(const QByteArray& odbcIni);

    static inline std::unique_ptr<QTemporaryDir> folder_;
    static inline QByteArray savedOdbcIni_;
};
