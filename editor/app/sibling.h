#pragma once
// Requests from the sibling program over a local socket, our stand-in for the window
// message it sends: a client connects to the editor's socket and writes "5000\n"; the
// editor answers "1\n" at once, so the sender never waits for the rest, and then acts.
#include <QObject>
#include <QString>

class QLocalServer;

namespace app {

class SiblingServer : public QObject
{
    Q_OBJECT
  public:
    explicit SiblingServer(QObject* parent = nullptr);
    ~SiblingServer() override;
    // Listens at editor_socket_path(); a stale socket left by a crashed run is replaced,
    // a live one (another editor) is not. False when it cannot listen.
    bool listen();
    QString path() const;

  signals:
    void request(int command);

  private:
    void on_connection();
    QLocalServer* server_;
};

// Sends a command to a running editor and waits for its reply (at most timeout_ms).
// True when the editor answered.
bool send_request(int command, int timeout_ms = 2000);

} // namespace app
