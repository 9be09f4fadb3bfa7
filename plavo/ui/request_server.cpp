#include "plavo/ui/request_server.h"

#include "plavo/player.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <cstdlib>
#include <unistd.h>

namespace plavo::ui {

QString request_socket_path()
{
    QString dir = "/tmp";
    for (const char* var : {"KELVARA_RUNTIME_DIR", "XDG_RUNTIME_DIR"})
        if (const char* v = std::getenv(var); v && *v) {
            dir = QString::fromLocal8Bit(v);
            break;
        }
    if (!dir.endsWith('/'))
        dir += '/';
    return dir + "kelvara-plavo-" + QString::number(getuid());
}

RequestServer::RequestServer(std::function<bool(const std::string&)> play, QObject* parent)
    : QObject(parent), play_(std::move(play)), server_(new QLocalServer(this))
{
    connect(server_, &QLocalServer::newConnection, this, &RequestServer::on_connection);
}

RequestServer::~RequestServer()
{
    server_->close();
}

bool RequestServer::listen()
{
    const QString name = request_socket_path();
    if (server_->listen(name))
        return true;
    // Someone answering there is another player; otherwise the socket is left over.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(200))
        return false;
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

void RequestServer::on_connection()
{
    while (QLocalSocket* s = server_->nextPendingConnection()) {
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QLocalSocket::readyRead, this, [this, s] {
            // A line longer than a path can be is refused, not buffered without end.
            if (!s->canReadLine() && s->bytesAvailable() > static_cast<qint64>(4 * kMaxPath)) {
                s->write("0\n");
                s->disconnectFromServer();
                return;
            }
            while (s->canReadLine()) {
                const QByteArray line = s->readLine();
                const std::string path = QString::fromUtf8(line).chopped(1).toStdString();
                const bool ok = !path.empty() && path.size() <= kMaxPath;
                s->write(ok ? "1\n" : "0\n");
                s->flush();
                // The reply goes first; the request is carried out from the event loop.
                if (ok)
                    QTimer::singleShot(0, this, [this, path] { play_(path); });
            }
        });
    }
}

bool send_play_request(const QString& path, int timeout_ms)
{
    QLocalSocket s;
    s.connectToServer(request_socket_path());
    if (!s.waitForConnected(timeout_ms))
        return false;
    s.write(path.toUtf8() + "\n");
    if (!s.waitForBytesWritten(timeout_ms))
        return false;
    while (!s.canReadLine())
        if (!s.waitForReadyRead(timeout_ms))
            return false;
    return s.readLine().trimmed() == "1";
}

} // namespace plavo::ui
