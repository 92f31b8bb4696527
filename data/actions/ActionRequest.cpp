#include "data/actions/ActionRequest.h"

#include <QJsonArray>

namespace {

const QStringList KindNames = {"none",  "split",      "discard", "relay",       "cancel",
                               "reset", "relayreset", "undo",    "forcedstart", "handstamp"};

} // namespace

QJsonObject RequestToJson(const ActionRequest& request) {
    return {{QStringLiteral("kind"), KindNames[static_cast<int>(request.kind)]},
            {QStringLiteral("bib"), request.bib},
            {QStringLiteral("stamp"), StampToJson(request.stamp)},
            {QStringLiteral("n"), request.number},
            {QStringLiteral("time"), request.runningTime},
            {QStringLiteral("start"), request.start},
            {QStringLiteral("state"), request.state},
            {QStringLiteral("takes"), request.takes},
            {QStringLiteral("uses"), request.usesTime},
            {QStringLiteral("legs"), request.legs},
            {QStringLiteral("team"), request.teamTime},
            {QStringLiteral("letter"), request.teamLetter},
            {QStringLiteral("passing"), request.passing},
            {QStringLiteral("target"), request.target},
            {QStringLiteral("teams"), QJsonArray::fromStringList(request.teams)},
            {QStringLiteral("keeps"), request.keepsNextStart},
            {QStringLiteral("forcedteam"), request.forcedTeam},
            {QStringLiteral("read"), request.read},
            {QStringLiteral("minutes"), request.minimumMinutes},
            {QStringLiteral("lastleg"), request.lastLegToo},
            {QStringLiteral("exchange"), request.exchange}};
}

ActionRequest RequestFromJson(const QJsonObject& object) {
    ActionRequest request;
    request.kind = static_cast<ActionRequest::Kind>(
        std::max<qsizetype>(0, KindNames.indexOf(object.value(QStringLiteral("kind")).toString())));
    request.bib = object.value(QStringLiteral("bib")).toString();
    request.stamp = StampFromJson(object.value(QStringLiteral("stamp")).toObject());
    request.number = object.value(QStringLiteral("n")).toInt();
    request.runningTime = object.value(QStringLiteral("time")).toString();
    request.start = object.value(QStringLiteral("start")).toString();
    request.state = object.value(QStringLiteral("state")).toString();
    request.takes = object.value(QStringLiteral("takes")).toString();
    request.usesTime = object.value(QStringLiteral("uses")).toBool(true);
    request.legs = object.value(QStringLiteral("legs")).toInt();
    request.teamTime = object.value(QStringLiteral("team")).toString();
    request.teamLetter = object.value(QStringLiteral("letter")).toString();
    request.passing = object.value(QStringLiteral("passing")).toString();
    request.target = object.value(QStringLiteral("target")).toString();
    for (const QJsonValue& team : object.value(QStringLiteral("teams")).toArray())
        request.teams << team.toString();
    request.keepsNextStart = object.value(QStringLiteral("keeps")).toBool();
    request.forcedTeam = object.value(QStringLiteral("forcedteam")).toBool();
    request.read = object.value(QStringLiteral("read")).toString();
    request.minimumMinutes = object.value(QStringLiteral("minutes")).toInt();
    request.lastLegToo = object.value(QStringLiteral("lastleg")).toBool();
    request.exchange = object.value(QStringLiteral("exchange")).toInt();
    return request;
}
