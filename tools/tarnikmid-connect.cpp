// tarnikmid-connect: the connection-settings dialog as a command, for scripts: sets the race
// server's or the test server's connection after trying it, or shows what is kept.

#include "common/ProgramFiles.h"
#include "data/sql/ConnectionSetup.h"
#include "tools/ConnectOptions.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

void Say(std::FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
}

int Show(const ConnectionSettings& settings, ServerChoice choice) {
    const auto kept = settings.Read(choice);
    if (!kept) {
        Say(stderr, QStringLiteral("tarnikmid-connect: %1 は %2 に設定されていません。")
                        .arg(DataSourceNameOf(choice), settings.FilePath()));
        return 1;
    }
    Say(stdout, QStringLiteral("[%1] %2\nホスト: %3\nポート: %4\nデータベース: %5\n"
                               "アカウント: %6\nパスワード: %7\nCA ファイル: %8")
                    .arg(DataSourceNameOf(choice), settings.FilePath(), kept->host)
                    .arg(kept->port)
                    .arg(kept->database, kept->account,
                         kept->password.isEmpty() ? QStringLiteral("（なし）")
                                                  : QStringLiteral("（保存済み）"),
                         kept->caFile.isEmpty() ? QStringLiteral("（システムの認証局）")
                                                : kept->caFile));
    return 0;
}

int Set(const ConnectionSetup& setup, const ConnectOptions& options) {
    if (const auto why = WhyNotKept(options.connection)) {
        Say(stderr, QStringLiteral("tarnikmid-connect: ") + *why);
        return 2;
    }
    if (options.untried) {
        Say(stdout, setup.SaveUntried(options.choice, options.connection));
        return 0;
    }
    const ConnectionTryResult result = setup.TryThenSave(options.choice, options.connection);
    Say(result.connected ? stdout : stderr, result.message);
    return result.connected ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The program's data sources, whether the launcher set ODBCINI or not.
    UseProgramDataSources();
    try {
        QFile input;
        input.open(stdin, QIODevice::ReadOnly);
        const ConnectOptions options = ParseConnectOptions(app.arguments(), input);
        const ConnectionSettings settings(DataSourceFilePath());
        if (options.show)
            return Show(settings, options.choice);
        return Set(ConnectionSetup(settings), options);
    } catch (const ConnectUsageError& error) {
        Say(stderr, QStringLiteral("tarnikmid-connect: ") + error.message());
        return 2;
    } catch (const AppError& error) {
        Say(stderr, QStringLiteral("tarnikmid-connect: ") + error.message());
        return 1;
    }
}
