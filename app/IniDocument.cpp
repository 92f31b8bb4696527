#include "app/IniDocument.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

std::optional<QByteArray> SectionName(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = t.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

// A key line is "key=value"; comment lines (";") and section headers are not.
std::optional<QPair<QByteArray, QByteArray>> KeyAndValue(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (t.startsWith(';') || t.startsWith('['))
        return std::nullopt;
    const qsizetype eq = t.indexOf('=');
    if (eq <= 0)
        return std::nullopt;
    return QPair{t.left(eq).trimmed(), t.mid(eq + 1).trimmed()};
}

// What a Windows workstation writes its Japanese in.
constexpr const char* ShiftJis = "windows-31j";

bool IsUtf8(const QByteArray& text) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // Decoding is what sets the error flag; the text itself is not needed.
    const QString decoded = utf8.decode(text);
    return !utf8.hasError();
}

} // namespace

QString IniDocument::Decode(const QByteArray& bytes) const {
    if (!shiftJis_)
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(ShiftJis);
    return decoder.decode(bytes);
}

QByteArray IniDocument::Encode(const QString& text) const {
    if (!shiftJis_)
        return text.toUtf8();
    QStringEncoder encoder(ShiftJis);
    return encoder.encode(text);
}

bool IniDocument::SameName(const QByteArray& inFile, const QString& wanted) const {
    return Decode(inFile).compare(wanted, Qt::CaseInsensitive) == 0;
}

// A line break in a value would start lines of its own, keys or sections that nobody wrote.
QByteArray IniDocument::KeyLine(const QByteArray& key, const QString& value) const {
    QByteArray text = Encode(value);
    text.replace('\r', ' ').replace('\n', ' ');
    return key + '=' + text;
}

IniDocument IniDocument::Parse(QByteArray text) {
    IniDocument doc;
    static const QByteArray utf8Mark("\xEF\xBB\xBF");
    if (text.startsWith(utf8Mark)) {
        doc.byteOrderMark_ = utf8Mark;
        text.remove(0, utf8Mark.size());
    }
    if (text.isEmpty())
        return doc;
    // Written back as it was read; a new file is UTF-8.
    doc.shiftJis_ = !IsUtf8(text);
    const qsizetype firstBreak = text.indexOf('\n');
    if (firstBreak > 0 && text[firstBreak - 1] == '\r')
        doc.lineEnd_ = "\r\n";
    doc.lines_ = text.split('\n');
    if (doc.lines_.last().isEmpty())
        doc.lines_.removeLast(); // the text ended with a line break
    for (QByteArray& line : doc.lines_)
        if (line.endsWith('\r'))
            line.chop(1);
    return doc;
}

QByteArray IniDocument::Serialize() const {
    QByteArray out = byteOrderMark_;
    for (const QByteArray& line : lines_)
        out += line + lineEnd_;
    return out;
}

std::optional<IniDocument::SectionSpan> IniDocument::FindSection(const QString& section) const {
    for (int i = 0; i < lines_.size(); ++i) {
        const auto name = SectionName(lines_[i]);
        if (!name || !SameName(*name, section))
            continue;
        int end = i + 1;
        for (int j = i + 1; j < lines_.size() && !SectionName(lines_[j]); ++j)
            if (!lines_[j].trimmed().isEmpty())
                end = j + 1;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<int> IniDocument::FindKey(const SectionSpan& span, const QString& key) const {
    for (int i = span.header + 1; i < span.end; ++i) {
        const auto entry = KeyAndValue(lines_[i]);
        if (entry && SameName(entry->first, key))
            return i;
    }
    return std::nullopt;
}

std::optional<QString> IniDocument::Value(const QString& section, const QString& key) const {
    const auto span = FindSection(section);
    if (!span)
        return std::nullopt;
    const auto line = FindKey(*span, key);
    if (!line)
        return std::nullopt;
    return Decode(KeyAndValue(lines_[*line])->second);
}

QList<QPair<QString, QString>> IniDocument::Entries(const QString& section) const {
    QList<QPair<QString, QString>> entries;
    const auto span = FindSection(section);
    if (!span)
        return entries;
    for (int i = span->header + 1; i < span->end; ++i)
        if (const auto entry = KeyAndValue(lines_[i]))
            entries.append({Decode(entry->first), Decode(entry->second)});
    return entries;
}

void IniDocument::SetValue(const QString& section, const QString& key, const QString& value) {
    const auto span = FindSection(section);
    if (!span) {
        lines_.append('[' + Encode(section) + ']');
        lines_.append(KeyLine(Encode(key), value));
        return;
    }
    if (const auto line = FindKey(*span, key)) {
        // The key keeps the spelling it has in the file.
        lines_[*line] = KeyLine(KeyAndValue(lines_[*line])->first, value);
        return;
    }
    lines_.insert(span->end, KeyLine(Encode(key), value));
}
