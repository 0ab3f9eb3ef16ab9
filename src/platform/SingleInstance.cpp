#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace kelvara {

namespace {

// The message: a count and the paths, then the connection closes.
QByteArray Encode(const QByteArrayList& paths) {
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << paths;
    return message;
}

} // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), serverName_(std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::ServerName(const std::string& settingsFile) {
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(settingsFile), QCryptographicHash::Sha1);
    return QStringLiteral("Kelvara-%1-%2")
        .arg(getuid())
        .arg(QString::fromLatin1(hash.toHex().left(16)));
}

bool SingleInstance::HandOver(const QByteArrayList& paths, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(Encode(paths));
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMs);
    return true;
}

bool SingleInstance::Listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(serverName_)) {
        // Either a live instance, or a socket file left by one that crashed.
        QLocalSocket probe;
        probe.connectToServer(serverName_);
        if (probe.waitForConnected(500)) return false;
        QLocalServer::removeServer(serverName_);
        if (!server_->listen(serverName_)) return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::Accept);
    return true;
}

void SingleInstance::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        // The message is complete when the other start hangs up.
        auto finish = [this, socket] {
            QByteArrayList paths;
            QDataStream in(socket->readAll());
            in >> paths;
            socket->deleteLater();
            if (in.status() == QDataStream::Ok) emit PathsReceived(paths);
        };
        if (socket->state() == QLocalSocket::ConnectedState)
            connect(socket, &QLocalSocket::disconnected, this, finish);
        else
            finish();
    }
}

} // namespace kelvara
