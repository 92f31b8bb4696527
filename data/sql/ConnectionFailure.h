#pragma once
// Why a connection to a database server failed, from the driver's error, told to the operator
// in one Japanese sentence with the driver's own text after it.

#include <QString>

class DatabaseError;

enum class ConnectionFailure {
    Refused,              // nothing listens at the host and port
    NoAnswer,             // no route, or the host or the server does not answer in time
    UnknownHost,          // the host name is not known
    WrongAccount,         // wrong account or password (a MariaDB server also answers so to a
                          // plain-text connection when it takes TLS only)
    CertificateNotTrusted, // the server's certificate failed the check
    TlsRefused,           // the server has no TLS
    InsecureTransport,    // the server takes TLS connections only (a MySQL server's answer)
    UnknownDatabase,      // no database of that name
    NoRights,             // the account has no rights on the database
    Other,
};

ConnectionFailure ClassifyConnectionFailure(const DatabaseError& error);

// "サーバーに接続できません。…（driver's text）"
QString ConnectionFailureText(const DatabaseError& error);

// Whether the server could not be reached at all (refused, no answer, a host name not found):
// the link or the server is away, not the settings wrong.
bool IsOutOfReach(const DatabaseError& error);
