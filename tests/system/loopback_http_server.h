#pragma once
// An HTTP server for tests, inside the test process: it listens on 127.0.0.1
// only, on a port the system picks, and captures every request it receives.
// Link kx_loopback_http to use it.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct HttpRequest {
    std::string requestLine;  // e.g. "POST /a?b=1 HTTP/1.1", without its line end
    std::string method;       // "POST"
    std::string target;       // "/a?b=1"
    std::vector<std::pair<std::string, std::string>> headers;  // in the order received
    std::string body;         // Content-Length bytes

    // The first value of a header, its name compared without letter case;
    // nothing when absent.
    std::optional<std::string> Header(const std::string& name) const;
};

class LoopbackHttpServer {
public:
    // answer false: requests are captured but never answered (the connection
    // stays open until the server ends), to try a client's time-outs.
    explicit LoopbackHttpServer(bool answer = true);
    ~LoopbackHttpServer();  // stops listening and waits for its thread
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    bool Listening() const;
    unsigned short Port() const;

    // The next captured request, or nothing when none came within timeoutMs.
    std::optional<HttpRequest> WaitForRequest(DWORD timeoutMs);

private:
    struct State;
    std::unique_ptr<State> state_;
};
