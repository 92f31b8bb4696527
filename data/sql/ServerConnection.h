#pragma once
// What a workstation needs to reach the race server or the test server: the fields of the
// connection settings, kept in the data source of the same name.

#include <QString>
#include <optional>

// The two data sources the connection settings own; the private database's is the launcher's.
enum class ServerChoice { Test, Server };

// "TarnikTest" or "TarnikServer".
QString DataSourceNameOf(ServerChoice choice);

struct ServerConnection {
    QString host;
    int port = 3306;
    QString database;
    QString account;
    QString password;
    // Empty: the server's certificate is checked against the system's certificate
    // authorities (a certificate signed publicly).
    QString caFile;

    bool operator==(const ServerConnection&) const = default;
};

// Why these fields cannot be kept in the data-source file or cannot work (an empty field, a
// blank at either end that the file would lose, a line break or other control character, a
// port outside 1 .. 65535, a CA file that cannot be read), in Japanese; nothing when they can.
std::optional<QString> WhyNotKept(const ServerConnection& connection);
