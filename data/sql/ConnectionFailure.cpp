#include "data/sql/ConnectionFailure.h"

#include "data/sql/DatabaseError.h"

#include <QRegularExpression>

namespace {

// The system's error number the client library gives in parentheses ("… (111)"), or after
// "system error: ".
int SystemErrorNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("(?:\\((\\d+)\\)|system error: (\\d+))\\s*$"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0;
    return (match.captured(1).isEmpty() ? match.captured(2) : match.captured(1)).toInt();
}

// ETIMEDOUT, EHOSTUNREACH, ENETUNREACH: the packets go nowhere. ECONNREFUSED and, from a
// connect with a time limit, EINPROGRESS come back at once from a host without a listener.
bool IsNoAnswer(int systemError) {
    return systemError == 110 || systemError == 113 || systemError == 101;
}

ConnectionFailure ClassifyTlsError(const QString& text) {
    return text.contains(QLatin1String("server does not support"), Qt::CaseInsensitive)
               ? ConnectionFailure::TlsRefused
               : ConnectionFailure::CertificateNotTrusted;
}

QString Sentence(ConnectionFailure failure) {
    switch (failure) {
    case ConnectionFailure::Refused:
        return QStringLiteral("そのホストとポートで待ち受けているサーバーがありません。");
    case ConnectionFailure::NoAnswer:
        return QStringLiteral("サーバーから応答がありません（ネットワークかホストを確かめてください）。");
    case ConnectionFailure::UnknownHost:
        return QStringLiteral("ホスト名が見つかりません。");
    case ConnectionFailure::WrongAccount:
        // The server answers a connection without TLS, where it takes TLS only, in the same
        // words: both causes are said.
        return QStringLiteral("アカウントかパスワードが違います。暗号化（TLS）しない接続を"
                              "TLS だけを受け付けるサーバーが断ったときも、こう答えます。");
    case ConnectionFailure::CertificateNotTrusted:
        return QStringLiteral("サーバーの証明書を信頼できません（CA ファイルかホスト名が違います）。");
    case ConnectionFailure::TlsRefused:
        return QStringLiteral("サーバーが暗号化（TLS）に対応していません。");
    case ConnectionFailure::InsecureTransport:
        return QStringLiteral("サーバーが暗号化していない接続を拒否しました。");
    case ConnectionFailure::UnknownDatabase:
        return QStringLiteral("そのデータベースはサーバーにありません。");
    case ConnectionFailure::NoRights:
        return QStringLiteral("このアカウントにはそのデータベースを使う権限がありません。");
    case ConnectionFailure::Other:
        break;
    }
    return QStringLiteral("サーバーに接続できません。");
}

} // namespace

ConnectionFailure ClassifyConnectionFailure(const DatabaseError& error) {
    const QString text = error.message();
    switch (error.nativeCode().toInt()) {
    case 1045:
        return ConnectionFailure::WrongAccount;
    case 1044:
        return ConnectionFailure::NoRights;
    case 1049:
        return ConnectionFailure::UnknownDatabase;
    case 3159:
        return ConnectionFailure::InsecureTransport;
    case 2005:
        return ConnectionFailure::UnknownHost;
    case 2026:
        return ClassifyTlsError(text);
    case 2013:
        return ConnectionFailure::NoAnswer;
    case 2002:
    case 2003:
        return IsNoAnswer(SystemErrorNumber(text)) ? ConnectionFailure::NoAnswer
                                                   : ConnectionFailure::Refused;
    default:
        return ConnectionFailure::Other;
    }
}

QString ConnectionFailureText(const DatabaseError& error) {
    return Sentence(ClassifyConnectionFailure(error)) + QStringLiteral("（") + error.message() +
           QStringLiteral("）");
}

bool IsOutOfReach(const DatabaseError& error) {
    switch (ClassifyConnectionFailure(error)) {
    case ConnectionFailure::Refused:
    case ConnectionFailure::NoAnswer:
    case ConnectionFailure::UnknownHost:
        return true;
    default:
        return false;
    }
}
