#include "data/sql/ServerConnection.h"

#include <QFileInfo>

#include <algorithm>

namespace {

struct Field {
    QString label;
    const QString& value;
};

bool HasControlCharacter(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

// The file's reader drops blanks around a value and ends it at a line break.
std::optional<QString> WhyFieldNotKept(const Field& field) {
    if (field.value.isEmpty())
        return QStringLiteral("%1を入力してください。").arg(field.label);
    if (HasControlCharacter(field.value))
        return QStringLiteral("%1に改行や制御文字は使えません。").arg(field.label);
    if (field.value.front().isSpace() || field.value.back().isSpace())
        return QStringLiteral("%1の先頭と末尾に空白は使えません。").arg(field.label);
    return std::nullopt;
}

std::optional<QString> WhyCaFileNotKept(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    if (auto why = WhyFieldNotKept({QStringLiteral("CA ファイル"), path}))
        return why;
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable())
        return QStringLiteral("CA ファイル「%1」を読めません。").arg(path);
    return std::nullopt;
}

} // namespace

QString DataSourceNameOf(ServerChoice choice) {
    return choice == ServerChoice::Server ? QStringLiteral("TarnikServer")
                                          : QStringLiteral("TarnikTest");
}

std::optional<QString> WhyNotKept(const ServerConnection& connection) {
    const Field fields[] = {
        {QStringLiteral("ホスト"), connection.host},
        {QStringLiteral("データベース"), connection.database},
        {QStringLiteral("アカウント"), connection.account},
        {QStringLiteral("パスワード"), connection.password},
    };
    for (const Field& field : fields)
        if (auto why = WhyFieldNotKept(field))
            return why;
    if (connection.port < 1 || connection.port > 65535)
        return QStringLiteral("ポート番号は 1〜65535 で入力してください。");
    return WhyCaFileNotKept(connection.caFile);
}
