#include "tests/system/loopback_http_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cctype>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

namespace {

constexpr DWORD kReadTimeoutMs = 5000;     // a client that stalls mid-request
constexpr long kPollMicroseconds = 50000;  // how often the thread looks for the end
constexpr size_t kMaxRequestBytes = 1 << 20;

class Socket {
public:
    explicit Socket(SOCKET s = INVALID_SOCKET) : s_(s) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() { Reset(); }
    SOCKET Get() const { return s_; }
    void Reset(SOCKET s = INVALID_SOCKET)
    {
        if (s_ != INVALID_SOCKET)
            closesocket(s_);
        s_ = s;
    }

private:
    SOCKET s_;
};

bool EqualNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t");
    size_t e = s.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// Reads one request from a connected client; false on a broken or stalled one.
bool ReadRequest(SOCKET client, HttpRequest& request)
{
    DWORD timeout = kReadTimeoutMs;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    std::string data;
    size_t headerEnd = std::string::npos;
    size_t wanted = 0;
    char buffer[4096];
    for (;;) {
        if (headerEnd == std::string::npos) {
            headerEnd = data.find("\r\n\r\n");
            if (headerEnd != std::string::npos) {
                std::string head = data.substr(0, headerEnd);
                size_t lineEnd = head.find("\r\n");
                request.requestLine = head.substr(0, lineEnd);
                size_t sp1 = request.requestLine.find(' ');
                size_t sp2 = request.requestLine.find(' ', sp1 + 1);
                if (sp1 == std::string::npos || sp2 == std::string::npos)
                    return false;
                request.method = request.requestLine.substr(0, sp1);
                request.target = request.requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
                while (lineEnd != std::string::npos) {
                    size_t start = lineEnd + 2;
                    lineEnd = head.find("\r\n", start);
                    std::string line = head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
                    size_t colon = line.find(':');
                    if (colon != std::string::npos)
                        request.headers.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
                }
                auto length = request.Header("Content-Length");
                wanted = length ? std::strtoul(length->c_str(), nullptr, 10) : 0;
                if (wanted > kMaxRequestBytes)
                    return false;
            }
        }
        if (headerEnd != std::string::npos && data.size() >= headerEnd + 4 + wanted) {
            request.body = data.substr(headerEnd + 4, wanted);
            return true;
        }
        if (data.size() > kMaxRequestBytes)
            return false;
        int n = recv(client, buffer, sizeof(buffer), 0);
        if (n <= 0)
            return false;
        data.append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace

std::optional<std::string> HttpRequest::Header(const std::string& name) const
{
    for (const auto& [key, value] : headers)
        if (EqualNoCase(key, name))
            return value;
    return std::nullopt;
}

struct LoopbackHttpServer::State {
    bool answer = true;
    bool started = false;
    Socket listener;
    unsigned short port = 0;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<HttpRequest> requests;
    std::thread thread;

    void Serve()
    {
        std::vector<std::unique_ptr<Socket>> unanswered;  // held open until the end
        while (!stop) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(listener.Get(), &readable);
            timeval wait = {0, kPollMicroseconds};
            if (select(0, &readable, nullptr, nullptr, &wait) <= 0)
                continue;
            auto client = std::make_unique<Socket>(accept(listener.Get(), nullptr, nullptr));
            if (client->Get() == INVALID_SOCKET)
                continue;
            HttpRequest request;
            if (!ReadRequest(client->Get(), request))
                continue;
            if (answer) {
                static const char reply[] =
                    "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
                send(client->Get(), reply, sizeof(reply) - 1, 0);
                shutdown(client->Get(), SD_SEND);
            } else {
                unanswered.push_back(std::move(client));
            }
            std::lock_guard<std::mutex> lock(mutex);
            requests.push_back(std::move(request));
            arrived.notify_all();
        }
    }
};

LoopbackHttpServer::LoopbackHttpServer(bool answer) : state_(std::make_unique<State>())
{
    state_->answer = answer;
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return;
    state_->started = true;
    Socket& listener = state_->listener;
    listener.Reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (listener.Get() == INVALID_SOCKET)
        return;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never reachable from outside
    address.sin_port = 0;                              // any free port
    int size = sizeof(address);
    if (bind(listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener.Get(), 4) != 0 ||
        getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        listener.Reset();
        return;
    }
    state_->port = ntohs(address.sin_port);
    state_->thread = std::thread([s = state_.get()] { s->Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    state_->stop = true;
    if (state_->thread.joinable())
        state_->thread.join();
    state_->listener.Reset();
    if (state_->started)
        WSACleanup();
}

bool LoopbackHttpServer::Listening() const { return state_->thread.joinable(); }

unsigned short LoopbackHttpServer::Port() const { return state_->port; }

std::optional<HttpRequest> LoopbackHttpServer::WaitForRequest(DWORD timeoutMs)
{
    std::unique_lock<std::mutex> lock(state_->mutex);
    if (!state_->arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [this] { return !state_->requests.empty(); }))
        return std::nullopt;
    HttpRequest request = std::move(state_->requests.front());
    state_->requests.pop_front();
    return request;
}
