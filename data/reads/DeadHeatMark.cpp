#include "data/reads/DeadHeatMark.h"

#include "data/sql/SqlValue.h"

namespace {

QString Mark() {
    return SqlValue(QStringLiteral("同着"));
}

} // namespace

QString PassingDeadHeatColumn() {
    return QStringLiteral("if(exists(select 1 from midjyun o where o.tcode = midjyun.tcode and "
                          "o.tod = midjyun.tod and o.bib <> midjyun.bib), %1, '') as deadheat")
        .arg(Mark());
}

QString LegDeadHeatMark(const QString& alias) {
    return QStringLiteral("if(%1.finishtime <> '' and exists(select 1 from relaymember o where "
                          "o.tcode = %1.tcode and o.num = %1.num and o.finishtime = "
                          "%1.finishtime and o.zek <> %1.zek), %2, '')")
        .arg(alias, Mark());
}
