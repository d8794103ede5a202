#pragma once

#include <QByteArray>
#include <QtGlobal>

// TCP sockets on 127.0.0.1 for tests that stand in for a server, or need a port where nobody
// listens: the same calls on Linux and on Windows.
class LoopbackSocket {
public:
    // A socket bound to a free port, listening for connections when `listening`.
    explicit LoopbackSocket(bool listening);
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;
    LoopbackSocket(LoopbackSocket&& other) noexcept;
    ~LoopbackSocket();

    int port() const { return port_; }

    // Waits for the next connection and returns it; an invalid socket when that fails.
    LoopbackSocket accept();
    // Opens a connection to `port` and closes it again: it ends a wait in accept() on that
    // port's socket in another thread.
    static void knock(int port);

    bool isValid() const;
    // What arrives next; empty once the other side has closed the connection (or on failure).
    QByteArray read();
    void write(const QByteArray& bytes);

private:
    explicit LoopbackSocket(qintptr handle);

    qintptr handle_;
    int port_ = 0;
};
