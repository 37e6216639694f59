#include "tests/support/LocalHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace ql::test {

namespace {

constexpr std::size_t kMaxRequestBytes = 64 * 1024;

void WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

// A request is complete with its head and as much body as its Content-Length announces.
bool Complete(const std::string& request)
{
    const std::size_t end = request.find("\r\n\r\n");
    if (end == std::string::npos)
        return false;
    const std::size_t at = request.find("\r\nContent-Length: ");
    const std::size_t length = at == std::string::npos || at > end
                                   ? 0
                                   : std::strtoul(request.c_str() + at + 18, nullptr, 10);
    return request.size() >= end + 4 + length;
}

}  // namespace

std::string HttpResponse(const std::string& status, const std::string& type, const std::string& body,
                         const std::string& extra)
{
    return "HTTP/1.1 " + status + "\r\n" + (type.empty() ? "" : "Content-Type: " + type + "\r\n") +
           "Content-Length: " + std::to_string(body.size()) + "\r\n" + extra + "Connection: close\r\n\r\n" + body;
}

LocalHttpServer::LocalHttpServer(std::map<std::string, Resource> resources)
    : resources_(std::move(resources)), answer_([this](const std::string& request) { return Answer(request); })
{
    Start();
}

LocalHttpServer::LocalHttpServer(Handler answer) : answer_(std::move(answer)) { Start(); }

void LocalHttpServer::Start()
{
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;  // a free port
    socklen_t length = sizeof addr;
    if (listen_ < 0 || ::bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listen_, 16) != 0 || ::getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &length) != 0 ||
        ::pipe2(wake_, O_CLOEXEC) != 0) {
        Stop();
        return;
    }
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Run(); });
}

LocalHttpServer::~LocalHttpServer() { Stop(); }

std::string LocalHttpServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int LocalHttpServer::Served(const std::string& path) const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = served_.find(path);
    return it == served_.end() ? 0 : it->second;
}

std::vector<std::string> LocalHttpServer::Requests() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void LocalHttpServer::Stop()
{
    if (thread_.joinable()) {
        const char c = 'q';
        (void)!::write(wake_[1], &c, 1);
        thread_.join();
    }
    for (int* fd : {&listen_, &wake_[0], &wake_[1]}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

std::string LocalHttpServer::Answer(const std::string& request)
{
    // "GET /path HTTP/1.1"; a query is part of the path.
    const std::size_t space = request.find(' ');
    const std::size_t end = space == std::string::npos ? space : request.find(' ', space + 1);
    const std::string method = request.substr(0, space);
    const std::string path = end == std::string::npos ? "" : request.substr(space + 1, end - space - 1);
    const auto it = resources_.find(path);
    if ((method != "GET" && method != "HEAD") || it == resources_.end())
        return HttpResponse("404 Not Found", "", "");
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++served_[path];
    }
    const Resource& r = it->second;
    std::string response = HttpResponse("200 OK", r.type, r.body,
                                        "Cache-Control: public, max-age=86400\r\n"
                                        "Last-Modified: Mon, 01 Jan 2024 00:00:00 GMT\r\n");
    return method == "HEAD" ? response.substr(0, response.size() - r.body.size()) : response;
}

void LocalHttpServer::Run()
{
    struct Client {
        int fd;
        std::string request;
    };
    std::vector<Client> clients;
    for (;;) {
        std::vector<pollfd> fds{{wake_[0], POLLIN, 0}, {listen_, POLLIN, 0}};
        for (const Client& c : clients)
            fds.push_back({c.fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR)
            break;
        if (fds[0].revents)
            break;
        if (fds[1].revents & POLLIN) {
            const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0)
                clients.push_back({fd, {}});
        }
        // Each connection answers one request once it is complete, then closes.
        for (std::size_t i = 2; i < fds.size(); ++i) {
            if (!fds[i].revents)
                continue;
            Client& c = clients[i - 2];
            char buffer[4096];
            const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
            if (n > 0)
                c.request.append(buffer, static_cast<std::size_t>(n));
            const bool complete = Complete(c.request);
            if (complete) {
                {
                    const std::lock_guard<std::mutex> lock(mutex_);
                    requests_.push_back(c.request);
                }
                WriteAll(c.fd, answer_(c.request));
            }
            if (complete || n <= 0 || c.request.size() > kMaxRequestBytes) {
                ::close(c.fd);
                c.fd = -1;
            }
        }
        std::erase_if(clients, [](const Client& c) { return c.fd < 0; });
    }
    for (const Client& c : clients)
        ::close(c.fd);
}

}  // namespace ql::test
