#include "app/ProfileFile.h"

#include "app/IniDocument.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace {

IniDocument ReadDocument(const QString& path) {
    QFile file(path);
    // A file that is absent or cannot be read holds no keys: readers fall back to defaults.
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return IniDocument::Parse(file.readAll());
}

[[noreturn]] void ThrowWriteError(const QString& path, const QString& reason) {
    throw ProfileWriteError(QStringLiteral("%1 に書き込めません: %2").arg(path, reason));
}

bool IsHexDigits(QStringView text) {
    for (QChar c : text)
        if (!c.isDigit() && !QStringView(u"abcdefABCDEF").contains(c))
            return false;
    return !text.isEmpty();
}

} // namespace

int ProfileInteger(const QString& text, int defaultValue) {
    const QString t = text.trimmed();
    bool ok = false;
    int value = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const QStringView digits = QStringView(t).mid(2);
        if (IsHexDigits(digits))
            value = digits.toInt(&ok, 16);
    } else {
        value = t.toInt(&ok, 10);
    }
    return ok ? value : defaultValue;
}

ProfileFile::ProfileFile(QString path) : path_(std::move(path)) {}

QString ProfileFile::ReadString(const QString& section, const QString& key,
                                const QString& defaultValue) const {
    return ReadDocument(path_).Value(section, key).value_or(defaultValue);
}

int ProfileFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    const auto text = ReadDocument(path_).Value(section, key);
    return text ? ProfileInteger(*text, defaultValue) : defaultValue;
}

QList<QPair<QString, QString>> ProfileFile::ReadSection(const QString& section) const {
    return ReadDocument(path_).Entries(section);
}

void ProfileFile::WriteString(const QString& section, const QString& key, const QString& value) {
    IniDocument doc = ReadDocument(path_);
    doc.SetValue(section, key, value);
    // Replaced whole on commit, so a failure part-way leaves the previous text intact; only a
    // folder that takes no new file (the file alone writable) has it written in place.
    QSaveFile file(path_);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        ThrowWriteError(path_, file.errorString());
    const QByteArray text = doc.Serialize();
    // commit() alone would put a short file in place when its final flush falls short
    // (a full disk); flushing first catches that, and the unfinished copy is discarded.
    // Qt reports a short write without the system's reason; errno still holds it.
    if (file.write(text) != text.size() || !file.flush())
        ThrowWriteError(path_, QString::fromLocal8Bit(std::strerror(errno)));
    if (!file.commit())
        ThrowWriteError(path_, file.errorString());
}

void ProfileFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}
