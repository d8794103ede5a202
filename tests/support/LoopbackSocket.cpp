#include "LoopbackSocket.h"

#include <utility>

#ifdef Q_OS_WIN
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_WIN
using Handle = SOCKET;
const qintptr kInvalid = qintptr(INVALID_SOCKET);
constexpr int kNoSignal = 0;

void closeHandle(qintptr handle) {
    ::closesocket(Handle(handle));
}

// Winsock serves a program only after it asked for it; once is enough.
void startSockets() {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started)
        qFatal("Winsock did not start");
}
#else
using Handle = int;
const qintptr kInvalid = -1;
// A peer that has gone must not end the test program with SIGPIPE.
constexpr int kNoSignal = MSG_NOSIGNAL;

void closeHandle(qintptr handle) {
    ::close(Handle(handle));
}

void startSockets() {}
#endif

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(quint16(port));
    return address;
}

} // namespace

LoopbackSocket::LoopbackSocket(bool listening) {
    startSockets();
    handle_ = qintptr(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    ::bind(Handle(handle_), reinterpret_cast<sockaddr*>(&address), length);
    if (listening)
        ::listen(Handle(handle_), 4);
    ::getsockname(Handle(handle_), reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
}

LoopbackSocket::LoopbackSocket(qintptr handle) : handle_(handle) {}

LoopbackSocket::LoopbackSocket(LoopbackSocket&& other) noexcept
    : handle_(std::exchange(other.handle_, kInvalid)), port_(other.port_) {}

LoopbackSocket::~LoopbackSocket() {
    if (isValid())
        closeHandle(handle_);
}

LoopbackSocket LoopbackSocket::accept() {
    return LoopbackSocket(qintptr(::accept(Handle(handle_), nullptr, nullptr)));
}

void LoopbackSocket::knock(int port) {
    startSockets();
    const Handle knocker = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    ::connect(knocker, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    closeHandle(qintptr(knocker));
}

bool LoopbackSocket::isValid() const {
    return handle_ != kInvalid;
}

QByteArray LoopbackSocket::read() {
    char buffer[4096];
    const auto got = ::recv(Handle(handle_), buffer, sizeof buffer, 0);
    return got > 0 ? QByteArray(buffer, qsizetype(got)) : QByteArray();
}

void LoopbackSocket::write(const QByteArray& bytes) {
    ::send(Handle(handle_), bytes.constData(), int(bytes.size()), kNoSignal);
}
