#include "tools/ExportOptions.h"

#include "data/rules/SplitRules.h"
#include "tools/ExportRefusal.h"

#include <QCommandLineParser>

namespace {

int SplitNumber(const QCommandLineParser& parser) {
    if (!parser.isSet(QStringLiteral("split")))
        throw ExportRefusal(QStringLiteral("中間番号を --split で指定してください（1〜5）。"));
    const QString text = parser.value(QStringLiteral("split"));
    bool number = false;
    const int split = text.trimmed().toInt(&number);
    if (!number || split < 1 || split > SplitColumns)
        throw ExportRefusal(
            QStringLiteral("中間番号「%1」は指定できません。1〜5 で指定してください。").arg(text));
    return split;
}

QTime CutOffTime(const QCommandLineParser& parser) {
    if (!parser.isSet(QStringLiteral("cutoff")))
        return {};
    const QString text = parser.value(QStringLiteral("cutoff")).trimmed();
    for (const QString& format : {QStringLiteral("H:mm:ss"), QStringLiteral("H:mm")})
        if (const QTime time = QTime::fromString(text, format); time.isValid())
            return time;
    throw ExportRefusal(QStringLiteral("関門時刻「%1」は指定できません。時:分 または 時:分:秒 で"
                                       "指定してください（例 10:30、10:30:15）。")
                            .arg(text));
}

HeaderLanguage HeaderOf(const QCommandLineParser& parser) {
    const QString text = parser.value(QStringLiteral("header"));
    if (text == QLatin1String("ja"))
        return HeaderLanguage::Japanese;
    if (text == QLatin1String("en"))
        return HeaderLanguage::English;
    throw ExportRefusal(
        QStringLiteral("見出し「%1」は指定できません。ja か en で指定してください。").arg(text));
}

} // namespace

ExportOptions ParseExportOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the passings of one split point of a race as CSV, in passing order, or with\n"
        "--not-passed the runners still expected there. Reads the race database only."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("dsn"), QStringLiteral("ODBC data source (default TarnikLocal)."),
         QStringLiteral("name"), QStringLiteral("TarnikLocal")},
        {QStringLiteral("database"),
         QStringLiteral("Race database on the data source's server (default: the source's "
                        "own)."),
         QStringLiteral("name")},
        {QStringLiteral("race"), QStringLiteral("Race code (default: the race in work, execinfo)."),
         QStringLiteral("code")},
        {QStringLiteral("split"), QStringLiteral("Split point, 1 to 5 (required)."),
         QStringLiteral("n")},
        {QStringLiteral("out"), QStringLiteral("CSV file to write (default: standard output)."),
         QStringLiteral("file")},
        {QStringLiteral("not-passed"),
         QStringLiteral("The runners still expected at the split point instead, the soonest "
                        "expected first.")},
        {QStringLiteral("sjis"),
         QStringLiteral("Shift-JIS instead of UTF-8 with a byte-order mark.")},
        {QStringLiteral("cutoff"),
         QStringLiteral("Cut-off of the split point: passings after it are marked 関門後."),
         QStringLiteral("HH:MM[:SS]")},
        {QStringLiteral("header"),
         QStringLiteral("Column headings: ja (default) or en, the English names."),
         QStringLiteral("ja|en"), QStringLiteral("ja")},
    });
    if (!parser.parse(arguments))
        throw ExportRefusal(QStringLiteral("オプションが正しくありません: ") + parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (!parser.positionalArguments().isEmpty())
        throw ExportRefusal(QStringLiteral("余分な引数があります: ") +
                            parser.positionalArguments().join(QLatin1Char(' ')));

    ExportOptions options;
    options.dsn = parser.value(QStringLiteral("dsn"));
    options.database = parser.value(QStringLiteral("database"));
    options.race = parser.value(QStringLiteral("race"));
    options.split = SplitNumber(parser);
    options.out = parser.value(QStringLiteral("out"));
    options.notPassed = parser.isSet(QStringLiteral("not-passed"));
    if (parser.isSet(QStringLiteral("sjis")))
        options.encoding = CsvEncoding::ShiftJis;
    options.header = HeaderOf(parser);
    options.cutOff = CutOffTime(parser);
    return options;
}
