#include "timing/widgets/AttentionJournal.h"

namespace {

QJsonObject Line(const AttentionEntry& entry) {
    return {{QStringLiteral("at"), entry.at.toString(Qt::ISODate)},
            {QStringLiteral("bib"), entry.bib},
            {QStringLiteral("reason"), entry.reason},
            {QStringLiteral("times"), entry.times}};
}

} // namespace

AttentionJournal::AttentionJournal(const QString& folder, const QString& sourceName)
    : lock_(folder, QStringLiteral("attention"), sourceName), file_(lock_.JournalPath()) {}

std::vector<AttentionEntry> AttentionJournal::TakeFound() {
    std::vector<AttentionEntry> entries;
    for (const QJsonObject& line : file_.TakeFound())
        entries.push_back(
            {QDateTime::fromString(line.value(QStringLiteral("at")).toString(), Qt::ISODate),
             line.value(QStringLiteral("bib")).toString(),
             line.value(QStringLiteral("reason")).toString(),
             std::max(1, line.value(QStringLiteral("times")).toInt())});
    return entries;
}

void AttentionJournal::Keep(const AttentionEntry& entry) {
    // A file that failed is mended by the next rewrite; until then the list is in memory only.
    if (file_.Append(Line(entry), false))
        ++linesAdded_;
}

void AttentionJournal::KeepOnly(const std::vector<AttentionEntry>& entries) {
    std::vector<QJsonObject> lines;
    for (const AttentionEntry& entry : entries)
        lines.push_back(Line(entry));
    if (file_.Rewrite(lines))
        linesAdded_ = 0;
}
