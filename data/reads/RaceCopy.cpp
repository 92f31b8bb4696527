#include "data/reads/RaceCopy.h"

#include <QDataStream>
#include <QIODevice>

// Raised when the layout changes: an older copy is then not read as this one.
constexpr quint32 RaceCopyMagic = 0x54524331;    // "TRC1"
constexpr quint32 PendingCopyMagic = 0x54504331; // "TPC1"
constexpr auto StreamVersion = QDataStream::Qt_6_0;

// Found by argument lookup from the containers' streaming, so outside an unnamed namespace.
static QDataStream& operator<<(QDataStream& out, const CompetitorSplits& c) {
    return out << c.registered << c.start << c.splitTimes << c.passings << qint32(c.lapn)
               << c.splitStarts;
}

static QDataStream& operator>>(QDataStream& in, CompetitorSplits& c) {
    qint32 lapn = 0;
    in >> c.registered >> c.start >> c.splitTimes >> c.passings >> lapn >> c.splitStarts;
    c.lapn = lapn;
    return in;
}

static QDataStream& operator<<(QDataStream& out, const RelayTeam& t) {
    out << t.bib << t.registered << t.start << qint32(t.legs) << t.statement << t.teamClass
        << quint32(t.timed.size());
    for (const RelayLeg& leg : t.timed)
        out << leg.start << leg.finish << leg.forcedStart;
    return out;
}

static QDataStream& operator>>(QDataStream& in, RelayTeam& t) {
    qint32 legs = 0;
    quint32 timed = 0;
    in >> t.bib >> t.registered >> t.start >> legs >> t.statement >> t.teamClass >> timed;
    t.legs = legs;
    // A damaged count must not ask for more memory than the file could describe.
    t.timed.resize(std::min<quint32>(timed, 64));
    for (RelayLeg& leg : t.timed)
        in >> leg.start >> leg.finish >> leg.forcedStart;
    return in;
}

static QDataStream& operator<<(QDataStream& out, const StampRef& s) {
    return out << s.id << s.jid << s.time;
}

static QDataStream& operator>>(QDataStream& in, StampRef& s) {
    return in >> s.id >> s.jid >> s.time;
}


QDataStream& operator<<(QDataStream& out, const RaceCache& cache) {
    return out << cache.lapn_ << cache.relayn_ << cache.competitors_ << cache.teams_;
}

QDataStream& operator>>(QDataStream& in, RaceCache& cache) {
    return in >> cache.lapn_ >> cache.relayn_ >> cache.competitors_ >> cache.teams_;
}

QByteArray RaceCopyBytes(const RaceCopy& copy) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out << RaceCopyMagic << copy.raceCode << copy.relay << copy.caption << copy.read << copy.stampColumns.id
        << copy.stampColumns.jid << copy.changeListKept << copy.changesSeen
        << copy.wholeChangeSeen << copy.race;
    return bytes;
}

std::optional<RaceCopy> RaceCopyFromBytes(const QByteArray& bytes) {
    QDataStream in(bytes);
    in.setVersion(StreamVersion);
    quint32 magic = 0;
    RaceCopy copy;
    in >> magic;
    if (magic != RaceCopyMagic)
        return std::nullopt;
    in >> copy.raceCode >> copy.relay >> copy.caption >> copy.read >> copy.stampColumns.id >>
        copy.stampColumns.jid >> copy.changeListKept >> copy.changesSeen >>
        copy.wholeChangeSeen >> copy.race;
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return copy;
}

QByteArray PendingCopyBytes(const PendingCopy& copy) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out << PendingCopyMagic << quint32(copy.stamps.size());
    for (std::size_t k = 0; k < copy.stamps.size(); ++k)
        out << copy.stamps[k] << copy.ages.at(k);
    out << qint32(copy.count) << copy.written;
    return bytes;
}

std::optional<PendingCopy> PendingCopyFromBytes(const QByteArray& bytes) {
    QDataStream in(bytes);
    in.setVersion(StreamVersion);
    quint32 magic = 0;
    in >> magic;
    if (magic != PendingCopyMagic)
        return std::nullopt;
    PendingCopy copy;
    quint32 stamps = 0;
    in >> stamps;
    for (quint32 k = 0; k < stamps && in.status() == QDataStream::Ok; ++k) {
        StampRef stamp;
        qint64 age = 0;
        in >> stamp >> age;
        copy.stamps.push_back(stamp);
        copy.ages.push_back(age);
    }
    qint32 count = 0;
    in >> count >> copy.written;
    copy.count = count;
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return copy;
}
