#include "ExecInfo.h"

#include "SqlValue.h"
#include "TQuery.h"

int TenthsSinceMidnight(const QTime& time) {
    return time.msecsSinceStartOfDay() / 100;
}

void update_execinfo(TQuery& work, const QString& s, const QTime& now) {
    work.SetSQL({QStringLiteral("update execinfo "),
                 QStringLiteral(" set updx=") + QString::number(TenthsSinceMidnight(now)) +
                     QStringLiteral(",stat = ") + SqlValue(s),
                 QStringLiteral(" where num=1")});
    work.ExecSQL();
}
