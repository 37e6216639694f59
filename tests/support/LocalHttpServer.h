#pragma once
// A small web server on 127.0.0.1 for tests with real browsers and engines: on a port of its
// own, from a thread of its own, it serves fixed resources (cacheable, as a web site's pictures
// are) or whatever a test's handler answers, keeps every request it was sent, and once stopped
// refuses every connection, so that what a browser shows afterwards can only come from its cache.
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ql::test {

class LocalHttpServer {
public:
    struct Resource {
        std::string type;  // Content-Type
        std::string body;
    };

    // Answers a whole request (head and body) with a whole response.
    using Handler = std::function<std::string(const std::string& request)>;

    // Serves `resources` by path ("/page.html"); anything else is 404.
    explicit LocalHttpServer(std::map<std::string, Resource> resources);
    explicit LocalHttpServer(Handler answer);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool Running() const { return listen_ >= 0; }
    int Port() const { return port_; }
    std::string Url(const std::string& path) const;  // "http://127.0.0.1:<port>" + path
    // How often `path` was answered.
    int Served(const std::string& path) const;
    // Every complete request, head and body, in the order they came.
    std::vector<std::string> Requests() const;
    // Closes the port and every open connection; returns once the server thread has ended.
    void Stop();

private:
    void Start();
    void Run();
    std::string Answer(const std::string& request);

    std::map<std::string, Resource> resources_;
    Handler answer_;
    int listen_ = -1;
    int wake_[2] = {-1, -1};
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;  // guards served_ and requests_
    std::map<std::string, int> served_;
    std::vector<std::string> requests_;
};

// "HTTP/1.1 <status>" closing the connection, with the body's type (none when empty) and length
// and the `extra` header lines ("Name: value\r\n" each).
std::string HttpResponse(const std::string& status, const std::string& type, const std::string& body,
                         const std::string& extra = "");

}  // namespace ql::test
