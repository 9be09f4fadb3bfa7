#pragma once
// The player's request port, in place of the window message WM_USER+5: a local socket that
// takes one path per line, answers "1" (taken) or "0" (refused), and plays the path as a
// one-entry playlist.
#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace plavo::ui {

// $KELVARA_RUNTIME_DIR, else $XDG_RUNTIME_DIR, else /tmp, then "kelvara-plavo-<uid>".
QString request_socket_path();

class RequestServer : public QObject
{
    Q_OBJECT
  public:
    // `play` carries out a request and says whether it was taken.
    RequestServer(std::function<bool(const std::string&)> play, QObject* parent = nullptr);
    ~RequestServer() override;
    // False when another player already answers there.
    bool listen();

  private:
    void on_connection();
    std::function<bool(const std::string&)> play_;
    QLocalServer* server_;
};

// Sends a path to a running player; true when it took it.
bool send_play_request(const QString& path, int timeout_ms = 2000);

} // namespace plavo::ui
