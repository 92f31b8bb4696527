#include "app/Configuration.h"

#include <algorithm>

#include "app/ProfileFile.h"
#include "common/uComm.h"

#include <QDir>
#include <QRegularExpression>

namespace {

const QString kFileName = QStringLiteral("TarnikMid.ini");

QMap<int, QString> PortPathsOf(const ProfileFile& ini) {
    static const QRegularExpression portKey(QStringLiteral("^COM([0-9]+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    QMap<int, QString> paths;
    for (const auto& [key, value] : ini.ReadSection(QStringLiteral("Port"))) {
        const auto match = portKey.match(key);
        const int n = match.hasMatch() ? ProfileInteger(match.captured(1), 0) : 0;
        if (n > 0 && !value.isEmpty() && !paths.contains(n))
            paths.insert(n, value);
    }
    return paths;
}

} // namespace

QString ConfigFilePath() {
    QString dir = QDir::currentPath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + kFileName;
}

MainFormConfig LoadConfiguration() {
    const ProfileFile ini(ConfigFilePath());
    MainFormConfig config;
    const int top = ini.ReadInteger(QStringLiteral("MainForm"), QStringLiteral("Top"), 0);
    const int left = ini.ReadInteger(QStringLiteral("MainForm"), QStringLiteral("Left"), 0);
    config.Position = QPoint(left, top);

    const auto readTalk = [&ini](const char* key, int defaultValue) {
        return ini.ReadInteger(QStringLiteral("Talk"), QLatin1String(key), defaultValue);
    };
    uComm::ID = ini.ReadInteger(QStringLiteral("AMB"), QStringLiteral("ID"), 233);
    uComm::VerUpNo = ini.ReadInteger(QStringLiteral("AMB"), QStringLiteral("VerUpNo"), 0);
    uComm::Speaker = readTalk("Speaker", 3);
    uComm::Voicetype = readTalk("Voicetype", 5);
    uComm::Voiceint = readTalk("Voiceint", 5);
    uComm::Voicew = readTalk("Voicew", 6);
    uComm::Voicem = readTalk("Voicem", 6);
    uComm::Speed = readTalk("Speed", 6);
    uComm::Vol = readTalk("Vol", 5);
    uComm::Onsei = readTalk("Onsei", 0);
    uComm::DevicePortNo = ini.ReadInteger(QStringLiteral("Port"), QStringLiteral("Alge"), 0);
    config.DataIndex = ini.ReadInteger(QStringLiteral("DB"), QStringLiteral("DataIndex"), 0);
    uComm::MinMeasureMinutes =
        ini.ReadString(QStringLiteral("ENV"), QStringLiteral("LapMin"), QStringLiteral("5"));
    uComm::RefusalSound =
        ini.ReadInteger(QStringLiteral("ENV"), QStringLiteral("RefusalSound"), 1) != 0;
    uComm::RelayExchange =
        std::max(0, ini.ReadInteger(QStringLiteral("ENV"), QStringLiteral("Exchange"), 0));
    uComm::DeviceQuietSeconds =
        ini.ReadInteger(QStringLiteral("Port"), QStringLiteral("QuietSeconds"), 30);
    for (int n = 1; n <= int(std::size(uComm::CutOffTimes)); ++n)
        uComm::CutOffTimes[n - 1] =
            ini.ReadString(QStringLiteral("CutOff"), QStringLiteral("Mid%1").arg(n), {});
    config.PortPaths = PortPathsOf(ini);
    return config;
}

void SaveConfiguration(const QPoint& position, int dataIndex) {
    ProfileFile ini(ConfigFilePath());
    const auto writeTalk = [&ini](const char* key, int value) {
        ini.WriteInteger(QStringLiteral("Talk"), QLatin1String(key), value);
    };
    ini.WriteInteger(QStringLiteral("MainForm"), QStringLiteral("Left"), position.x());
    ini.WriteInteger(QStringLiteral("MainForm"), QStringLiteral("Top"), position.y());
    ini.WriteInteger(QStringLiteral("AMB"), QStringLiteral("ID"), uComm::ID);
    ini.WriteInteger(QStringLiteral("AMB"), QStringLiteral("VerUpNo"), uComm::VerUpNo);
    writeTalk("Speaker", uComm::Speaker);
    writeTalk("Voicetype", uComm::Voicetype);
    writeTalk("Voiceint", uComm::Voiceint);
    writeTalk("Voicew", uComm::Voicew);
    writeTalk("Voicem", uComm::Voicem);
    writeTalk("Speed", uComm::Speed);
    writeTalk("Vol", uComm::Vol);
    writeTalk("Onsei", uComm::Onsei);
    ini.WriteInteger(QStringLiteral("Port"), QStringLiteral("Alge"), uComm::DevicePortNo);
    // Only read by the program, written so that the operator finds them in the file.
    ini.WriteInteger(QStringLiteral("Port"), QStringLiteral("QuietSeconds"),
                     uComm::DeviceQuietSeconds);
    ini.WriteInteger(QStringLiteral("DB"), QStringLiteral("DataIndex"), dataIndex);
    ini.WriteString(QStringLiteral("ENV"), QStringLiteral("LapMin"), uComm::MinMeasureMinutes);
    ini.WriteString(QStringLiteral("ENV"), QStringLiteral("Exchange"),
                    QString::number(uComm::RelayExchange));
    ini.WriteInteger(QStringLiteral("ENV"), QStringLiteral("RefusalSound"),
                     uComm::RefusalSound ? 1 : 0);
    for (int n = 1; n <= int(std::size(uComm::CutOffTimes)); ++n)
        ini.WriteString(QStringLiteral("CutOff"), QStringLiteral("Mid%1").arg(n),
                        uComm::CutOffTimes[n - 1]);
}
