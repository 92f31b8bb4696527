#pragma once
// One running instance per user: the first start listens on a local socket named after the
// program file and the user; a later start finds it there, asks it to bring its main window
// to the front, and ends.

#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class SingleInstance : public QObject {
    Q_OBJECT

public:
    // serverName: a socket name or a full path; the program uses DefaultServerName().
    explicit SingleInstance(QString serverName, QObject* parent = nullptr);

    // The running program's file name and the user, in the user's runtime directory.
    static QString DefaultServerName();

    // True when another instance is listening and has been told to come forward: this
    // start should end now. False when none answers (none runs, or one crashed).
    bool ActivateRunningInstance(int timeoutMs = 2000);

    // Becomes the instance later starts find; their requests restore, raise and activate
    // mainWindow. A socket left behind by a crashed instance is replaced. False when the
    // marker cannot be made (ErrorString() says why): the program cannot start.
    bool Listen(QWidget* mainWindow);
    QString ErrorString() const { return errorString_; }

signals:
    // A later start asked this instance to come forward (after the window was raised).
    void activationRequested();

private:
    void AcceptRequests();
    void ServeRequest(QLocalSocket* socket);

    QString serverName_;
    QLocalServer server_;
    QPointer<QWidget> mainWindow_;
    QString errorString_;
};
