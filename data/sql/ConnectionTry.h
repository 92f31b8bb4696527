#pragma once
// Tries the connection settings before they are kept: connects with exactly what the data
// source would hold (TLS with the server's certificate checked), with the program's own time
// limits, and checks that the database is a race database.

#include "data/sql/ServerConnection.h"

#include <QString>

struct ConnectionTryResult {
    bool connected = false;
    // What the operator is told, in Japanese: what was reached, or why nothing was.
    QString message;
};

// Waits for the server for at most the connection's login limit.
ConnectionTryResult TryConnection(const ServerConnection& connection);
