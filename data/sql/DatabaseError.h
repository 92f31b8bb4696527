#pragma once
// The one exception type of the database layer: it carries the server's (or driver's)
// message, so the application's error handler can show the operator what went wrong.

#include "common/AppError.h"

#include <QString>

class QSqlError;

class DatabaseError : public AppError {
public:
    explicit DatabaseError(const QString& message, const QString& nativeCode = {});
    // From a failed Qt SQL call; the driver's "[ma-x.y][server]" tags are left out.
    static DatabaseError FromSqlError(const QSqlError& error, const QString& context = {});

    // The server's error number (e.g. "1146"), empty when there is none.
    QString nativeCode() const { return nativeCode_; }
    // Lost or refused connections: the next statement reconnects first.
    bool isConnectionLost() const;
    // The connection was found dead before the statement left this machine (the server
    // restarted while the connection sat idle): sent again on a new connection, it runs once.
    bool wasNeverSent() const;
    // The server could not run the statement now, for a trouble of its own (shutting down, a
    // lock wait or deadlock, out of room or memory, its own files): the same statement may
    // run later, unlike one it refuses by its rules.
    bool isTemporary() const;

private:
    QString nativeCode_;
};

// A value with a character the race database's Shift-JIS text cannot hold: refused before
// anything is sent, rather than stored as something else.
class UnstorableTextError : public DatabaseError {
public:
    explicit UnstorableTextError(const QString& value);
};
