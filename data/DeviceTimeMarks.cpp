#include "data/DeviceTimeMarks.h"

#include "data/RunStatement.h"
#include "data/StatementLines.h"

void MarkDeviceTime(TQuery& query, const QString& state, const QString& time) {
    RunStatement(query, {ValueLine(QStringLiteral("update tdc_mid set sumi = "), state,
                                   RaceLine(QStringLiteral(" where tcode = "))),
                         ValueLine(QStringLiteral("and tm = "), time)});
}
