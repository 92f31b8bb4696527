#pragma once
// The command line of tarnikmid-connect.

#include "common/AppError.h"
#include "data/sql/ServerConnection.h"

#include <QStringList>

class QIODevice;

struct ConnectOptions {
    ServerChoice choice = ServerChoice::Server;
    // Prints the kept settings (without the password) instead of setting them.
    bool show = false;
    // Saves without trying first.
    bool untried = false;
    ServerConnection connection;
};

// A command line the command refuses: told, and the command ends with status 2.
class ConnectUsageError : public AppError {
public:
    using AppError::AppError;
};

// Exits with the usage text on --help. The password is read from the file given or from
// `input` (one line; its line break is not part of it). Throws ConnectUsageError.
ConnectOptions ParseConnectOptions(const QStringList& arguments, QIODevice& input);
