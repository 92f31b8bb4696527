#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace {

const QByteArray kRaiseRequest = "raise\n";

// Whether a live instance accepts connections at serverName.
bool SomeoneListens(const QString& serverName) {
    QLocalSocket probe;
    probe.connectToServer(serverName);
    return probe.waitForConnected(1000);
}

void BringForward(QWidget* window) {
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), serverName_(std::move(serverName)) {
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::AcceptRequests);
}

QString SingleInstance::DefaultServerName() {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    // The runtime directory is private to the user; the uid in the name keeps users apart
    // where there is none and the shared temporary directory serves.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + '/' + program + QStringLiteral("-%1.instance").arg(getuid());
}

bool SingleInstance::ActivateRunningInstance(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kRaiseRequest);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::Listen(QWidget* mainWindow) {
    mainWindow_ = mainWindow;
    if (server_.listen(serverName_))
        return true;
    if (server_.serverError() == QAbstractSocket::AddressInUseError &&
        !SomeoneListens(serverName_)) {
        // A crashed instance leaves its socket file behind, and nobody answers on it.
        QLocalServer::removeServer(serverName_);
        if (server_.listen(serverName_))
            return true;
    }
    errorString_ = QStringLiteral("%1: %2").arg(serverName_, server_.errorString());
    return false;
}

void SingleInstance::AcceptRequests() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ServeRequest(socket); });
        ServeRequest(socket);
    }
}

void SingleInstance::ServeRequest(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        if (socket->readLine() != kRaiseRequest)
            continue;
        if (mainWindow_)
            BringForward(mainWindow_);
        emit activationRequested();
    }
}
