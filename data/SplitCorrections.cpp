#include "data/SplitCorrections.h"

#include "data/RunStatement.h"
#include "data/SplitRules.h"
#include "data/SqlValue.h"
#include "data/StatementLines.h"
#include "data/Transaction.h"

SplitCorrections::SplitCorrections(TDatabase& database)
    : database_(database), writing_(database, QStringLiteral("SplitCorrections")) {}

int SplitCorrections::Run(const QStringList& lines, const StatementLog& log) {
    log(ShownStatement(lines));
    return RunStatement(writing_, lines);
}

bool SplitCorrections::CancelSplit(const QString& zek, int n, const QString& passing,
                                   const StatementLog& log) {
    Transaction transaction(database_);
    const int cleared =
        Run({QStringLiteral("update result set midfin%1 = '',midtime%1 = ''").arg(n),
             RaceLine(QStringLiteral("where tcode = ")) +
                 ValueLine(QStringLiteral(" and zek = "), zek) +
                 ValueLine(QStringLiteral(" and BINARY midfin%1 = ").arg(n), passing)},
            log);
    if (cleared == 0)
        return false;
    Run({RaceLine(QStringLiteral("delete from midjyun where tcode = ")),
         ValueLine(QStringLiteral("and bib = "), PassingLogBib(zek)) +
             ValueLine(QStringLiteral(" and tod = "), passing)},
        log);
    Run({RaceLine(QStringLiteral("update tdc_mid set sumi = '0' where tcode = ")),
         ValueLine(QStringLiteral("and tm = "), passing)},
        log);
    transaction.Commit();
    return true;
}

void SplitCorrections::ResetRace() {
    const QString race = RaceLine(QStringLiteral("where tcode = "));
    Transaction transaction(database_);
    RunStatement(writing_, {QStringLiteral("update result set midtime1 = '',midfin1 = ''"),
                            QStringLiteral(",midtime2 = '',midfin2 = ''"),
                            QStringLiteral(",midtime3 = '',midfin3 = ''"),
                            QStringLiteral(",midtime4 = '',midfin4 = ''"),
                            QStringLiteral(",midtime5 = '',midfin5 = ''"), race});
    RunStatement(writing_, {QStringLiteral("update tdc_mid set sumi = '0'"), race});
    RunStatement(writing_, {RaceLine(QStringLiteral("delete from midjyun where tcode = "))});
    transaction.Commit();
}
