#pragma once
// An HTTP server on 127.0.0.1 for one test: every page asks for Basic authentication and is
// served once the request carries `credentials` ("user:password", base64 as sent).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ql::test {

class BasicAuthServer {
public:
    explicit BasicAuthServer(std::string credentialsBase64) : expected_(std::move(credentialsBase64))
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd_, 8) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            return;
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~BasicAuthServer()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (fd_ >= 0)
            ::close(fd_);
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/page.html"; }
    // The Authorization headers the requests carried ("" for none), in order.
    std::vector<std::string> Authorizations()
    {
        std::lock_guard lock(m_);
        return seen_;
    }

private:
    void Serve()
    {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (c < 0)
                continue;
            std::string request;
            char buf[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                pollfd q{c, POLLIN, 0};
                if (::poll(&q, 1, 2000) <= 0)
                    break;
                ssize_t n = ::recv(c, buf, sizeof buf, 0);
                if (n <= 0)
                    break;
                request.append(buf, static_cast<std::size_t>(n));
            }
            std::string auth;
            if (auto at = request.find("\r\nAuthorization: "); at != std::string::npos)
                auth = request.substr(at + 17, request.find("\r\n", at + 2) - at - 17);
            {
                std::lock_guard lock(m_);
                seen_.push_back(auth);
            }
            const std::string body = "<html><head><title>let in</title></head><body>in</body></html>";
            std::string response =
                auth == "Basic " + expected_
                    ? "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
                          "\r\nConnection: close\r\n\r\n" + body
                    : std::string("HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"clips\"\r\n"
                                  "Content-Length: 0\r\nConnection: close\r\n\r\n");
            [[maybe_unused]] ssize_t sent = ::send(c, response.data(), response.size(), MSG_NOSIGNAL);
            ::close(c);
        }
    }

    std::string expected_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex m_;
    std::vector<std::string> seen_;
};

}  // namespace ql::test
