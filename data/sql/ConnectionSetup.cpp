#include "data/sql/ConnectionSetup.h"

#include "common/AppError.h"

ConnectionSetup::ConnectionSetup(ConnectionSettings settings) : settings_(std::move(settings)) {}

ServerConnection ConnectionSetup::Load(ServerChoice choice) const {
    return settings_.Read(choice).value_or(ServerConnection{});
}

ConnectionTryResult ConnectionSetup::Try(const ServerConnection& connection) const {
    if (const auto why = WhyNotKept(connection))
        return {false, *why};
    return TryConnection(connection);
}

ConnectionTryResult ConnectionSetup::TryThenSave(ServerChoice choice,
                                                 const ServerConnection& connection) const {
    ConnectionTryResult result = Try(connection);
    if (!result.connected)
        return result;
    try {
        result.message += SaveUntried(choice, connection);
    } catch (const AppError& error) {
        return {false, error.message()};
    }
    return result;
}

QString ConnectionSetup::SaveUntried(ServerChoice choice,
                                     const ServerConnection& connection) const {
    settings_.Save(choice, connection);
    return QStringLiteral("%1 に保存しました。").arg(DataSourceNameOf(choice));
}
