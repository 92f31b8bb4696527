#include "data/sql/ConnectionSettings.h"

#include "common/AppError.h"
#include "data/sql/DataSourceSection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <odbcinst.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray ReadText(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("%1 を読めません: %2").arg(path, file.errorString()));
    return file.readAll();
}

IniEntries EntriesOf(ServerChoice choice, const ServerConnection& connection) {
    IniEntries entries = {
        {QStringLiteral("Description"), choice == ServerChoice::Server
                                            ? QStringLiteral("Race server")
                                            : QStringLiteral("Test server")},
        {QStringLiteral("Driver"), QStringLiteral("MariaDB Unicode")},
        {QStringLiteral("SERVER"), connection.host},
        {QStringLiteral("PORT"), QString::number(connection.port)},
        {QStringLiteral("DATABASE"), connection.database},
        {QStringLiteral("USER"), connection.account},
        {QStringLiteral("PASSWORD"), connection.password},
    };
    if (!connection.caFile.isEmpty())
        entries.append({QStringLiteral("SSLCA"), QFileInfo(connection.caFile).absoluteFilePath()});
    entries.append({QStringLiteral("SSLVERIFY"), QStringLiteral("1")});
    entries.append({QStringLiteral("FORCETLS"), QStringLiteral("1")});
    return entries;
}

// The value of the first of `keys` the section has (the driver takes UID for USER, PWD for
// PASSWORD).
QString ValueOf(const IniEntries& entries, const QStringList& keys) {
    for (const auto& [key, value] : entries)
        if (keys.contains(key, Qt::CaseInsensitive))
            return value;
    return {};
}

[[noreturn]] void ThrowUnwritable(const QString& path) {
    throw AppError(QStringLiteral("%1 に書けません: %2")
                       .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
}

// The new text goes to a file of the user's alone in the same folder, then takes the old
// file's place in one step.
void ReplaceFile(const QString& path, const QByteArray& text) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir(folder).exists() && ::mkdir(QFile::encodeName(folder).constData(), 0700) != 0)
        ThrowUnwritable(folder);
    QByteArray temporary = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        ThrowUnwritable(path);
    const bool written = ::fchmod(fd, 0600) == 0 &&
                         ::write(fd, text.constData(), size_t(text.size())) == text.size() &&
                         ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed ||
        ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        errno = error;
        ThrowUnwritable(path);
    }
}

// unixODBC keeps what it read of the data sources for a while and forgets it only when its
// own installer writes one: a write to a scratch file makes the next connection read the
// settings just saved.
void ForgetDataSourcesRead(const QString& path) {
    const QByteArray scratch = QFile::encodeName(path) + ".refresh";
    SQLWritePrivateProfileString("TarnikRefresh", nullptr, nullptr, scratch.constData());
    ::unlink(scratch.constData());
}

} // namespace

ConnectionSettings::ConnectionSettings(QString filePath) : filePath_(std::move(filePath)) {}

std::optional<ServerConnection> ConnectionSettings::Read(ServerChoice choice) const {
    const IniEntries entries = SectionEntries(ReadText(filePath_), DataSourceNameOf(choice));
    if (entries.isEmpty())
        return std::nullopt;
    ServerConnection connection;
    connection.host = ValueOf(entries, {QStringLiteral("SERVER")});
    const QString port = ValueOf(entries, {QStringLiteral("PORT")});
    if (!port.isEmpty())
        connection.port = port.toInt();
    connection.database = ValueOf(entries, {QStringLiteral("DATABASE")});
    connection.account = ValueOf(entries, {QStringLiteral("USER"), QStringLiteral("UID")});
    connection.password = ValueOf(entries, {QStringLiteral("PASSWORD"), QStringLiteral("PWD")});
    connection.caFile = ValueOf(entries, {QStringLiteral("SSLCA")});
    return connection;
}

void ConnectionSettings::Save(ServerChoice choice, const ServerConnection& connection) const {
    if (const auto why = WhyNotKept(connection))
        throw AppError(*why);
    const QByteArray text = ReadText(filePath_);
    ReplaceFile(filePath_,
                WithSection(text, DataSourceNameOf(choice), EntriesOf(choice, connection)));
    ForgetDataSourcesRead(filePath_);
}
