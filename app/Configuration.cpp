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

QString RaceSection(const QString& raceCode) {
    return QStringLiteral("Race ") + raceCode;
}

QString CutOffKey(int split) {
    return QStringLiteral("Mid%1").arg(split);
}

std::optional<uComm::RaceSettings> ReadRaceSection(const QString& raceCode) {
    const ProfileFile ini(ConfigFilePath());
    const QString section = RaceSection(raceCode);
    if (ini.ReadSection(section).isEmpty())
        return std::nullopt;
    const QString fallback = uComm::DefaultMinMeasureMinutes;
    uComm::RaceSettings settings{ini.ReadString(section, QStringLiteral("LapMin"), fallback),
                                 ini.ReadString(section, QStringLiteral("RelayMin"), fallback),
                                 {}};
    for (int n = 1; n <= int(settings.cutOffs.size()); ++n)
        settings.cutOffs[n - 1] = ini.ReadString(section, CutOffKey(n), {});
    return settings;
}

void WriteRaceSection(const QString& raceCode, const uComm::RaceSettings& settings) {
    ProfileFile ini(ConfigFilePath());
    const QString section = RaceSection(raceCode);
    ini.WriteString(section, QStringLiteral("LapMin"), settings.lapMinutes);
    ini.WriteString(section, QStringLiteral("RelayMin"), settings.relayMinutes);
    for (int n = 1; n <= int(settings.cutOffs.size()); ++n)
        ini.WriteString(section, CutOffKey(n), settings.cutOffs[n - 1]);
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
    uComm::DefaultMinMeasureMinutes =
        ini.ReadString(QStringLiteral("ENV"), QStringLiteral("LapMin"), QStringLiteral("5"));
    uComm::RefusalSound =
        ini.ReadInteger(QStringLiteral("ENV"), QStringLiteral("RefusalSound"), 1) != 0;
    uComm::RelayExchange =
        std::max(0, ini.ReadInteger(QStringLiteral("ENV"), QStringLiteral("Exchange"), 0));
    uComm::DeviceQuietSeconds =
        ini.ReadInteger(QStringLiteral("Port"), QStringLiteral("QuietSeconds"), 30);
    // No race chosen yet: the default minimum, no cut-offs, until a window opens its race.
    uComm::MinMeasureMinutes = uComm::RelayMinMeasureMinutes = uComm::DefaultMinMeasureMinutes;
    for (QString& cutOff : uComm::CutOffTimes)
        cutOff.clear();
    uComm::ForgetRaceSettings();
    uComm::ReadRaceSettings = ReadRaceSection;
    uComm::WriteRaceSettings = WriteRaceSection;
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
    ini.WriteString(QStringLiteral("ENV"), QStringLiteral("LapMin"),
                    uComm::DefaultMinMeasureMinutes);
    ini.WriteString(QStringLiteral("ENV"), QStringLiteral("Exchange"),
                    QString::number(uComm::RelayExchange));
    ini.WriteInteger(QStringLiteral("ENV"), QStringLiteral("RefusalSound"),
                     uComm::RefusalSound ? 1 : 0);
    // Written as each change is made as well; again here in case that write failed.
    if (!uComm::RaceCode.isEmpty())
        uComm::KeepRaceSettings();
}
