#include "DeviceTimeMarks.h"

#include "data/RunStatement.h"
#include "timing/StatementLines.h"

void MarkDeviceTime(TQuery& query, const QString& state, const QString& time) {
    RunStatement(query, {QuotedLine(QStringLiteral("update tdc_mid set sumi = '"), state,
                                    RaceLine(QStringLiteral("' where tcode = '"))),
                         QuotedLine(QStringLiteral("and tm = '"), time)});
}
