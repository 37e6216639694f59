#pragma once
// A small web server on 127.0.0.1 for tests with real browsers: it serves fixed resources
// (cacheable, as a web site's pictures are) on a port of its own from a thread of its own,
// and once stopped refuses every connection, so that what a browser shows afterwards can only
// come from its cache.
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace ql::test {

class LocalHttpServer {
public:
    struct Resource {
        std::string type;  // Content-Type
        std::string body;
    };

    // Serves `resources` by path ("/page.html"); anything else is 404.
    explicit LocalHttpServer(std::map<std::string, Resource> resources);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool Running() const { return listen_ >= 0; }
    int Port() const { return port_; }
    std::string Url(const std::string& path) const;  // "http://127.0.0.1:<port>" + path
    // How often `path` was answered.
    int Served(const std::string& path) const;
    // Closes the port and every open connection; returns once the server thread has ended.
    void Stop();

private:
    void Run();
    std::string Answer(const std::string& request);

    std::map<std::string, Resource> resources_;
    int listen_ = -1;
    int wake_[2] = {-1, -1};
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;  // guards served_
    std::map<std::string, int> served_;
};

}  // namespace ql::test
