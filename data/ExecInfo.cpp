#include "ExecInfo.h"

#include "SqlText.h"
#include "TQuery.h"

int TenthsSinceMidnight(const QTime& time) {
    return time.msecsSinceStartOfDay() / 100;
}

void update_execinfo(TQuery& work, const QString& s, const QTime& now) {
    work.Clear();
    work.Add(QStringLiteral("update execinfo "));
    work.Add(QStringLiteral(" set updx=") + QString::number(TenthsSinceMidnight(now)) +
             QStringLiteral(",stat = '") + SqlEscape(s) + QStringLiteral("'"));
    work.Add(QStringLiteral(" where num=1"));
    work.ExecSQL();
}
