#pragma once
// A one-file HTTP server on 127.0.0.1 for the download tests: every GET is answered with the
// body it was given. It runs on its own thread from construction to destruction.
#include <winsock2.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace tunlatch::test {

class LoopbackServer {
public:
    explicit LoopbackServer(std::string body);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    std::uint16_t Port() const { return port_; }
    std::string Url(const std::string& path) const;
    int Requests() const { return requests_; }

private:
    void Serve();

    std::string body_;
    SOCKET listener_ = INVALID_SOCKET;
    std::uint16_t port_ = 0;
    std::atomic<int> requests_ = 0;
    std::thread thread_;
};

// A port on 127.0.0.1 that nothing listens on.
std::uint16_t ClosedPort();

}  // namespace tunlatch::test
