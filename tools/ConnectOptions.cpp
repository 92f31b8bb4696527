#include "tools/ConnectOptions.h"

#include <QCommandLineParser>
#include <QFile>

namespace {

const QString kUsage = QStringLiteral(
    "Sets the connection to the race server or the test server: tries it, then keeps it in\n"
    "the data sources the program uses ($ODBCINI, else the launcher's db/odbc.ini).\n"
    "Exit status: 0 saved, 1 the connection failed (nothing saved), 2 a wrong command line.");

ServerChoice ChoiceOf(const QStringList& positional) {
    if (positional.size() == 1 && positional.first() == QLatin1String("server"))
        return ServerChoice::Server;
    if (positional.size() == 1 && positional.first() == QLatin1String("test"))
        return ServerChoice::Test;
    throw ConnectUsageError(
        QStringLiteral("server か test のどちらかを指定してください（--help で使い方）。"));
}

// A line break ends the password: a file written by `echo` has one.
QString PasswordLine(QByteArray bytes) {
    const qsizetype end = bytes.indexOf('\n');
    if (end >= 0)
        bytes.truncate(end > 0 && bytes.at(end - 1) == '\r' ? end - 1 : end);
    return QString::fromUtf8(bytes);
}

QString Password(const QCommandLineParser& parser, QIODevice& input) {
    const bool fromFile = parser.isSet(QStringLiteral("password-file"));
    const bool fromInput = parser.isSet(QStringLiteral("password-stdin"));
    if (fromFile == fromInput)
        throw ConnectUsageError(QStringLiteral(
            "パスワードは --password-file か --password-stdin のどちらかで渡してください。"));
    if (fromInput)
        return PasswordLine(input.readLine());
    QFile file(parser.value(QStringLiteral("password-file")));
    if (!file.open(QIODevice::ReadOnly))
        throw ConnectUsageError(QStringLiteral("パスワードのファイル %1 を読めません: %2")
                                    .arg(file.fileName(), file.errorString()));
    return PasswordLine(file.readAll());
}

int Port(const QCommandLineParser& parser) {
    const QString text = parser.value(QStringLiteral("port"));
    bool number = false;
    const int port = text.toInt(&number);
    if (!number)
        throw ConnectUsageError(QStringLiteral("ポート番号「%1」は数字ではありません。").arg(text));
    return port;
}

} // namespace

ConnectOptions ParseConnectOptions(const QStringList& arguments, QIODevice& input) {
    QCommandLineParser parser;
    parser.setApplicationDescription(kUsage);
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("server|test"),
                                 QStringLiteral("The data source: TarnikServer or TarnikTest."));
    parser.addOptions({
        {QStringLiteral("host"), QStringLiteral("Server host name or address."),
         QStringLiteral("H")},
        {QStringLiteral("port"), QStringLiteral("Server port (default 3306)."), QStringLiteral("P"),
         QStringLiteral("3306")},
        {QStringLiteral("database"), QStringLiteral("Race database."), QStringLiteral("D")},
        {QStringLiteral("user"), QStringLiteral("The workstation's account."), QStringLiteral("U")},
        {QStringLiteral("password-file"),
         QStringLiteral("File whose first line is the password."), QStringLiteral("FILE")},
        {QStringLiteral("password-stdin"),
         QStringLiteral("Read the password from the first line of standard input.")},
        {QStringLiteral("ca"),
         QStringLiteral("CA file the server's certificate is checked with (default: the\n"
                        "system's certificate authorities)."),
         QStringLiteral("FILE")},
        {QStringLiteral("no-try"), QStringLiteral("Save without trying the connection.")},
        {QStringLiteral("show"), QStringLiteral("Print the kept settings, without the password.")},
    });
    if (!parser.parse(arguments))
        throw ConnectUsageError(QStringLiteral("オプションが正しくありません: ") +
                                parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);

    ConnectOptions options;
    options.choice = ChoiceOf(parser.positionalArguments());
    options.show = parser.isSet(QStringLiteral("show"));
    if (options.show)
        return options;
    options.untried = parser.isSet(QStringLiteral("no-try"));
    options.connection.host = parser.value(QStringLiteral("host"));
    options.connection.port = Port(parser);
    options.connection.database = parser.value(QStringLiteral("database"));
    options.connection.account = parser.value(QStringLiteral("user"));
    options.connection.password = Password(parser, input);
    options.connection.caFile = parser.value(QStringLiteral("ca"));
    return options;
}
