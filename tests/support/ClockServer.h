#pragma once
// A web server on 127.0.0.1 for the date tool's tests: it serves the world-clock path
// with whatever page the test sets, streams a page of any size, redirects elsewhere, or
// takes the request and never answers. It runs on its own thread and stops when the
// object goes.

#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace vorra::testing {

class ClockServer {
public:
    std::string page;              // the page served at /worldclock/city.html
    std::size_t streamBytes = 0;   // when set, a page of this many bytes instead
    std::string redirectTo;        // when set, the clock path redirects there
    std::atomic<int> requests{0};
    std::atomic<int> movedRequests{0};
    std::string lastQuery;

    ClockServer() {
        // Where a redirect on the same host leads: the page itself.
        server_.Get("/moved", [this](const httplib::Request&, httplib::Response& res) {
            ++movedRequests;
            res.set_content(page, "text/html");
        });
        server_.Get("/worldclock/city.html", [this](const httplib::Request& req, httplib::Response& res) {
            ++requests;
            lastQuery = req.get_param_value("n") + "|" + req.get_param_value("Refresh");
            if (!redirectTo.empty()) {
                res.set_redirect(redirectTo);
                return;
            }
            if (streamBytes == 0) {
                res.set_content(page, "text/html");
                return;
            }
            res.set_content_provider(streamBytes, "text/html",
                                     [](size_t offset, size_t length, httplib::DataSink& sink) {
                                         std::string chunk(std::min<size_t>(length, 64 * 1024), 'x');
                                         (void)offset;
                                         return sink.write(chunk.data(), chunk.size());
                                     });
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // stop() only ends a server that is running: wait for it, so that a quick test
        // cannot stop it before it starts and then wait for it for ever.
        for (int i = 0; i < 5000 && !server_.is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~ClockServer() {
        server_.stop();
        thread_.join();
    }
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
    int port() const { return port_; }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

// A port that takes connections into its backlog and never reads or answers.
class SilentPort {
public:
    SilentPort() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(fd_, 8);
        socklen_t len = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
    }
    ~SilentPort() { ::close(fd_); }
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace vorra::testing
