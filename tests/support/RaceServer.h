#pragma once
// A headquarters race server of a test's own: a MariaDB started in a folder of its own on a
// free port (not through localdb.sh: a plain mariadbd with an option file that includes the
// one tarnikmid-server writes), prepared by scripts/tarnikmid-server.sh for the workstations
// named. Root reaches it through its socket without a password.

#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

class RaceServer {
public:
    explicit RaceServer(const QStringList& workstations,
                        const QString& database = QStringLiteral("tarnik"));
    // Stops the server; the folder goes with the object.
    ~RaceServer();
    RaceServer(const RaceServer&) = delete;
    RaceServer& operator=(const RaceServer&) = delete;

    bool Started() const { return problem_.isEmpty(); }
    // Why it did not start or was not prepared.
    QString Problem() const { return problem_; }
    int Port() const { return port_; }
    QString Database() const { return database_; }
    // The CA the server's certificate is signed by.
    QString CaFile() const;
    // A CA of its own that signed nothing here.
    QString UntrustedCaFile() const;

    struct Account {
        QString user, password;
    };
    // As the script printed it; a password it kept (a later run) stays the one first printed.
    Account Workstation(const QString& name) const { return accounts_.value(name); }
    // What the script printed last.
    QString ScriptOutput() const { return scriptOutput_; }

    // Runs the script again (as the timing lead does to add workstations), with `options`
    // such as --new-password. False: Problem() says why.
    bool Prepare(const QStringList& workstations, const QStringList& options = {});

    // The tests stop and start it again.
    bool Stop();
    bool Start();

    // Runs SQL as root on its database (for setting up races and checking rows); returns
    // stdout, one row a line, columns split by tabs.
    QString RootSql(const QString& sql) const;
    // Loads data/sample_race.sql into its database (the sample races).
    bool LoadSampleRaces() const;

private:
    QString Path(const QString& name) const { return folder_.filePath(name); }
    bool Control(const QString& command);
    void WriteOptionFile();
    void MakeUntrustedCa();
    void ReadAccounts();

    QTemporaryDir folder_;
    QString database_;
    int port_ = 0;
    QString problem_;
    QString scriptOutput_;
    QMap<QString, Account> accounts_;
};
