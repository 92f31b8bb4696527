#include "data/PendingTimeMark.h"

#include "data/RunStatement.h"
#include "data/StatementLines.h"

bool MarkPendingTime(TQuery& writing, const QString& time, const QString& state) {
    return RunStatement(writing, {ValueLine(QStringLiteral("update tdc_mid set sumi = "), state),
                                  RaceLine(QStringLiteral("where tcode = ")),
                                  ValueLine(QStringLiteral("and tm = "), time),
                                  QStringLiteral("and sumi = '0'")}) > 0;
}
