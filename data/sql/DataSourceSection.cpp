#include "data/sql/DataSourceSection.h"

#include <optional>

namespace {

QList<QByteArray> Lines(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The section a header line opens; nothing for any other line.
std::optional<QString> HeaderName(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith('[') || !trimmed.endsWith(']'))
        return std::nullopt;
    return QString::fromUtf8(trimmed.mid(1, trimmed.size() - 2)).trimmed();
}

bool IsComment(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    return trimmed.startsWith('#') || trimmed.startsWith(';');
}

bool IsEntry(const QByteArray& line) {
    return !IsComment(line) && line.contains('=');
}

bool Names(const std::optional<QString>& header, const QString& name) {
    return header && header->compare(name, Qt::CaseInsensitive) == 0;
}

QByteArray SectionText(const QString& name, const IniEntries& entries) {
    QByteArray text = '[' + name.toUtf8() + "]\n";
    for (const auto& [key, value] : entries)
        text += key.toUtf8() + '=' + value.toUtf8() + '\n';
    return text;
}

} // namespace

IniEntries SectionEntries(const QByteArray& text, const QString& name) {
    IniEntries entries;
    bool inside = false;
    for (const QByteArray& line : Lines(text)) {
        if (const auto header = HeaderName(line)) {
            inside = Names(header, name);
            continue;
        }
        if (!inside || !IsEntry(line))
            continue;
        const qsizetype equals = line.indexOf('=');
        entries.append({QString::fromUtf8(line.left(equals)).trimmed(),
                        QString::fromUtf8(line.mid(equals + 1)).trimmed()});
    }
    return entries;
}

QByteArray WithSection(const QByteArray& text, const QString& name, const IniEntries& entries) {
    QByteArray result;
    bool inside = false;
    bool written = false;
    for (const QByteArray& line : Lines(text)) {
        const auto header = HeaderName(line);
        if (header)
            inside = Names(header, name);
        if (inside && header && !written) {
            result += SectionText(name, entries);
            written = true;
        }
        // Comments and blank lines inside the section are kept: they may be a note on the
        // section that follows.
        if (!inside || (!header && !IsEntry(line)))
            result += line + '\n';
    }
    if (!written) {
        if (!result.isEmpty() && !result.endsWith("\n\n"))
            result += '\n';
        result += SectionText(name, entries);
    }
    return result;
}
