#include "data/actions/OperatorAction.h"

#include <QJsonArray>

namespace {

const QString IdKey = QStringLiteral("id");
const QString RaceKey = QStringLiteral("race");
const QString AtKey = QStringLiteral("at");
const QString PageKey = QStringLiteral("page");
const QString BibKey = QStringLiteral("bib");
const QString WhatKey = QStringLiteral("what");
const QString ChangesKey = QStringLiteral("rows");
const QString MarksKey = QStringLiteral("marks");
const QString RequestKey = QStringLiteral("request");
const QString ProgressKey = QStringLiteral("progress");
const QString RefusalKey = QStringLiteral("refusal");
const QStringList ProgressNames = {QStringLiteral("waiting"), QStringLiteral("applied"),
                                   QStringLiteral("refused")};

} // namespace

QString PageName(ActionPage page) {
    return page == ActionPage::Relay ? QStringLiteral("リレー計測") : QStringLiteral("周回計測");
}

QSet<QString> TakenBackByWaitingUndos(const std::deque<OperatorAction>& actions) {
    QSet<QString> takenBack;
    for (const OperatorAction& action : actions)
        if (action.request.kind == ActionRequest::Kind::Undo &&
            action.progress == OperatorAction::Progress::Waiting)
            takenBack.insert(action.request.target);
    return takenBack;
}

QJsonObject ActionToJson(const OperatorAction& action) {
    QJsonArray changes;
    for (const RowChange& change : action.changes)
        changes.append(RowChangeToJson(change));
    return {{IdKey, action.id},
            {RaceKey, action.raceCode},
            {AtKey, action.at.toString(Qt::ISODateWithMs)},
            {PageKey, action.page == ActionPage::Relay ? QStringLiteral("relay")
                                                       : QStringLiteral("lap")},
            {BibKey, action.bib},
            {WhatKey, action.what},
            {ChangesKey, changes},
            {MarksKey, action.marksChange},
            {RequestKey, RequestToJson(action.request)},
            {ProgressKey, ProgressNames[static_cast<int>(action.progress)]},
            {RefusalKey, action.refusal}};
}

OperatorAction ActionFromJson(const QJsonObject& object) {
    OperatorAction action;
    action.id = object.value(IdKey).toString();
    action.raceCode = object.value(RaceKey).toString();
    action.at = QDateTime::fromString(object.value(AtKey).toString(), Qt::ISODateWithMs);
    action.page = object.value(PageKey).toString() == QLatin1String("relay") ? ActionPage::Relay
                                                                               : ActionPage::Lap;
    action.bib = object.value(BibKey).toString();
    action.what = object.value(WhatKey).toString();
    for (const QJsonValue& change : object.value(ChangesKey).toArray())
        action.changes.push_back(RowChangeFromJson(change.toObject()));
    action.marksChange = object.value(MarksKey).toBool();
    action.request = RequestFromJson(object.value(RequestKey).toObject());
    // Kept before the progress was: every such action was applied where it was done.
    const qsizetype progress = ProgressNames.indexOf(object.value(ProgressKey).toString());
    action.progress = progress < 0 ? OperatorAction::Progress::Applied
                                   : static_cast<OperatorAction::Progress>(progress);
    action.refusal = object.value(RefusalKey).toString();
    return action;
}
