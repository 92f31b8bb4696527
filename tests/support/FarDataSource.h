#pragma once
// The race server far away: a delaying proxy in front of the server's TCP port, and a data
// source "TarnikFar" that reaches the server through it, beside the usual TarnikLocal. The
// server is the one ODBCINI's folder holds (scripts/localdb.sh writes its port there).

#include "tools/DelayProxy.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TDatabase;

class FarDataSource {
public:
    // Throws std::runtime_error when the server's port or data sources cannot be read.
    explicit FarDataSource(int oneWayDelayMs);
    // Points ODBCINI back.
    ~FarDataSource();
    FarDataSource(const FarDataSource&) = delete;
    FarDataSource& operator=(const FarDataSource&) = delete;

    static QString Name() { return QStringLiteral("TarnikFar"); }
    DelayProxy& Proxy() { return proxy_; }
    // The link goes down: every connection cut, none taken; and up again on the same port.
    void Break() { proxy_.Stop(); }
    void Mend() { proxy_.Start(port_); }

private:
    QByteArray savedOdbcIni_;
    QTemporaryDir folder_;
    DelayProxy proxy_;
    quint16 port_ = 0;
};

// Connects `database` anew through data source `name`; what the program's workers make from
// it afterwards goes there too.
void ConnectThrough(TDatabase& database, const QString& name);
