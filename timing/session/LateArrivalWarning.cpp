#include "timing/session/LateArrivalWarning.h"

#include "data/rules/SplitRules.h"

QString LateArrivalWarning(ArrivalDoubt doubt, const QString& zek, int leg) {
    switch (doubt) {
    case ArrivalDoubt::LateRunnerTaken:
        return QStringLiteral("ビブNo.%1 は%2走が繰上スタート済みです。この到着を%3走の遅れた走者"
                              "として記録しました。確認してください。")
            .arg(ShownBib(zek))
            .arg(leg + 1)
            .arg(leg);
    case ArrivalDoubt::LateRunnerStillOut:
        return QStringLiteral("ビブNo.%1 の%2走が未着のまま、この到着を繰上スタートの%3走として"
                              "記録しました。%2走の遅れた走者かもしれません。確認してください。")
            .arg(ShownBib(zek))
            .arg(leg - 1)
            .arg(leg);
    case ArrivalDoubt::None:
        break;
    }
    return {};
}
