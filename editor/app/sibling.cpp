#include "editor/app/sibling.h"

#include "editor/app/private_ini.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace app {

SiblingServer::SiblingServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this))
{
    connect(server_, &QLocalServer::newConnection, this, &SiblingServer::on_connection);
}

SiblingServer::~SiblingServer()
{
    server_->close();
}

QString SiblingServer::path() const
{
    return QString::fromStdString(editor_socket_path());
}

bool SiblingServer::listen()
{
    const QString name = path();
    if (server_->listen(name))
        return true;
    // Someone answering there is another editor; otherwise the socket is left over.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(200))
        return false;
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

void SiblingServer::on_connection()
{
    while (QLocalSocket* s = server_->nextPendingConnection()) {
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QLocalSocket::readyRead, this, [this, s] {
            while (s->canReadLine()) {
                const QByteArray line = s->readLine().trimmed();
                bool ok = false;
                const int command = line.toInt(&ok);
                s->write(ok ? "1\n" : "0\n");
                s->flush();
                // The reply goes first; the request is carried out from the event loop.
                if (ok)
                    QTimer::singleShot(0, this, [this, command] { emit request(command); });
            }
        });
    }
}

bool send_request(int command, int timeout_ms)
{
    QLocalSocket s;
    s.connectToServer(QString::fromStdString(editor_socket_path()));
    if (!s.waitForConnected(timeout_ms))
        return false;
    s.write(QByteArray::number(command) + "\n");
    if (!s.waitForBytesWritten(timeout_ms))
        return false;
    while (!s.canReadLine())
        if (!s.waitForReadyRead(timeout_ms))
            return false;
    return s.readLine().trimmed() == "1";
}

} // namespace app
