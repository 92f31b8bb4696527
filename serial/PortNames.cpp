#include "serial/PortNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

#include <algorithm>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
constexpr int kPortsPerFamily = 32;

struct Family {
    int firstPort;
    const char* prefix;
};
constexpr Family kFamilies[] = {{1, "ttyS"}, {33, "ttyUSB"}, {65, "ttyACM"}};

QMap<int, QString>& Overrides() {
    static QMap<int, QString> overrides;
    return overrides;
}

// The port number of a device name such as "ttyUSB3", or 0.
int PortForDevice(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^(ttyS|ttyUSB|ttyACM)(\\d+)$"));
    const auto match = pattern.match(name);
    if (!match.hasMatch())
        return 0;
    const int index = match.captured(2).toInt();
    if (index >= kPortsPerFamily)
        return 0;
    for (const Family& family : kFamilies)
        if (match.captured(1) == QLatin1String(family.prefix))
            return family.firstPort + index;
    return 0;
}

// ttyS devices exist for every possible UART slot; only those with a UART type are ports.
bool HasUart(const QString& sysEntry, const QString& name) {
    QFile type(sysEntry + QStringLiteral("/type"));
    if (type.open(QIODevice::ReadOnly))
        return type.readAll().trimmed().toInt() != PORT_UNKNOWN;
    const int fd = ::open(("/dev/" + name).toLocal8Bit().constData(),
                          O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    serial_struct info{};
    const bool known = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return known;
}
} // namespace

QString DevicePathForPort(int n) {
    const auto found = Overrides().constFind(n);
    if (found != Overrides().constEnd())
        return *found;
    for (const Family& family : kFamilies)
        if (n >= family.firstPort && n < family.firstPort + kPortsPerFamily)
            return QStringLiteral("/dev/%1%2")
                .arg(QLatin1String(family.prefix))
                .arg(n - family.firstPort);
    return {};
}

void SetPortPathOverride(int n, const QString& path) {
    Overrides().insert(n, path);
}

void ClearPortPathOverrides() {
    Overrides().clear();
}

QList<int> PresentPorts() {
    return PresentPortsUnder(QStringLiteral("/sys/class/tty"));
}

QList<int> PresentPortsUnder(const QString& sysClassTty) {
    QList<int> ports;
    const QDir dir(sysClassTty);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const int n = PortForDevice(name);
        if (n == 0 || Overrides().contains(n))
            continue;
        if (name.startsWith(QLatin1String("ttyS")) && !HasUart(dir.filePath(name), name))
            continue;
        ports.append(n);
    }
    for (auto it = Overrides().cbegin(); it != Overrides().cend(); ++it)
        if (QFileInfo::exists(it.value()))
            ports.append(it.key());
    std::sort(ports.begin(), ports.end());
    return ports;
}
