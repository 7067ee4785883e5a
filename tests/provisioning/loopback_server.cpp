#include "tests/provisioning/loopback_server.h"

#include <ws2tcpip.h>

namespace tunlatch::test {

namespace {

struct Winsock {
    Winsock() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~Winsock() { ::WSACleanup(); }
};

SOCKET BoundSocket(std::uint16_t& port) {
    static Winsock winsock;
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int size = sizeof address;
    if (s == INVALID_SOCKET || ::bind(s, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (s != INVALID_SOCKET) ::closesocket(s);
        return INVALID_SOCKET;
    }
    port = ntohs(address.sin_port);
    return s;
}

void SendAll(SOCKET s, const std::string& data) {
    for (std::size_t sent = 0; sent < data.size();) {
        const int n = ::send(s, data.data() + sent, static_cast<int>(data.size() - sent), 0);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

}  // namespace

LoopbackServer::LoopbackServer(std::string body) : body_(std::move(body)) {
    listener_ = BoundSocket(port_);
    if (listener_ == INVALID_SOCKET || ::listen(listener_, 4) != 0) return;
    thread_ = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
    // Closing the listener ends the blocking accept, and with it the thread.
    if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
    if (thread_.joinable()) thread_.join();
}

std::string LoopbackServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LoopbackServer::Serve() {
    for (;;) {
        const SOCKET client = ::accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        std::string request;
        char chunk[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const int n = ::recv(client, chunk, sizeof chunk, 0);
            if (n <= 0) break;
            request.append(chunk, static_cast<std::size_t>(n));
        }
        ++requests_;
        SendAll(client,
                "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                "Cache-Control: no-store\r\nConnection: close\r\nContent-Length: " +
                    std::to_string(body_.size()) + "\r\n\r\n" + body_);
        ::shutdown(client, SD_SEND);
        ::closesocket(client);
    }
}

std::uint16_t ClosedPort() {
    std::uint16_t port = 0;
    const SOCKET s = BoundSocket(port);
    if (s != INVALID_SOCKET) ::closesocket(s);
    return port;
}

}  // namespace tunlatch::test
