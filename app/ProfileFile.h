#pragma once
// A private-profile (INI) file read and written key by key: every read looks at the file as
// it is now, every write goes to disk before the call returns, so a failing write leaves the
// keys written before it in place.

#include "common/AppError.h"

#include <QList>
#include <QPair>
#include <QString>
#include <stdexcept>

// A key could not be written; what() (UTF-8) names the file and the system's reason.
class ProfileWriteError : public AppError {
public:
    using AppError::AppError;
};

class ProfileFile {
public:
    explicit ProfileFile(QString path);

    const QString& Path() const { return path_; }

    // A missing or unreadable file, section or key gives the default.
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // Decimal, or hexadecimal after "0x"/"0X"; anything else (empty, junk, out of the
    // 32-bit range) gives the default.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    QList<QPair<QString, QString>> ReadSection(const QString& section) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);

private:
    QString path_;
};

// The integer reading of ReadInteger, for text already in hand.
int ProfileInteger(const QString& text, int defaultValue);
