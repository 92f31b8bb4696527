#pragma once
// The connection settings of the test server and the race server, kept as the data sources
// TarnikTest and TarnikServer of the unixODBC user file, where the program's connections
// find them. The file holds passwords: it is the user's alone (mode 0600) from its first
// byte, and is replaced whole, so a reader never sees half of it.

#include "data/sql/ServerConnection.h"

#include <QString>
#include <optional>

class ConnectionSettings {
public:
    // `filePath`: the data-source file, normally DataSourceFilePath().
    explicit ConnectionSettings(QString filePath);

    QString FilePath() const { return filePath_; }

    // The fields of the choice's data source; nothing when the file has no such section.
    std::optional<ServerConnection> Read(ServerChoice choice) const;
    // Writes the choice's section, every other line of the file kept as it was; throws
    // AppError with WhyNotKept's refusal, or when the file cannot be written.
    void Save(ServerChoice choice, const ServerConnection& connection) const;

private:
    QString filePath_;
};
