#include "data/actions/ExecInfo.h"

#include "data/sql/SqlValue.h"
#include "data/sql/TQuery.h"

int TenthsSinceMidnight(const QTime& time) {
    return time.msecsSinceStartOfDay() / 100;
}

QStringList ChangeMarkerLines(const QString& s, const QTime& now) {
    return {QStringLiteral("update execinfo "),
            QStringLiteral(" set updx=") + QString::number(TenthsSinceMidnight(now)) +
                QStringLiteral(",stat = ") + SqlValue(s),
            QStringLiteral(" where num=1")};
}

void update_execinfo(TQuery& work, const QString& s, const QTime& now) {
    work.SetSQL(ChangeMarkerLines(s, now));
    work.ExecSQL();
}
