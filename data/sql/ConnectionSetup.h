#pragma once
// What the connection-settings dialog and the command tarnikmid-connect do with the fields
// the operator gave: fields the data-source file cannot hold are refused before anything is
// tried, and settings are kept once they have connected (or when the operator says so).

#include "data/sql/ConnectionSettings.h"
#include "data/sql/ConnectionTry.h"

class ConnectionSetup {
public:
    explicit ConnectionSetup(ConnectionSettings settings);

    // The fields kept for the choice, or a blank form on the usual port.
    ServerConnection Load(ServerChoice choice) const;
    // The refusal of the fields, or the try's result.
    ConnectionTryResult Try(const ServerConnection& connection) const;
    // Tries, and saves when the try connected.
    ConnectionTryResult TryThenSave(ServerChoice choice, const ServerConnection& connection) const;
    // Saves without a try; throws AppError with the refusal or the file's trouble.
    QString SaveUntried(ServerChoice choice, const ServerConnection& connection) const;

private:
    ConnectionSettings settings_;
};
