#include "tests/windows/testserver/http_server_win.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <fstream>
#include <sstream>

namespace velmora::test {
namespace {

struct WinsockScope {
    WinsockScope() {
        WSADATA data{};
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockScope() { ::WSACleanup(); }
};

void SendAll(SOCKET s, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const int n = ::send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
}

const char* Reason(int status) { return status == 200 ? "OK" : status == 404 ? "Not Found" : "Error"; }

} // namespace

std::string FixtureBytes(const char* name) {
    std::ifstream file(std::string(VELMORA_FIXTURES) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

HttpServer::HttpServer(unsigned short port) : stop_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    static WinsockScope winsock;
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = ::htons(port);
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    BOOL reuse = TRUE;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    if (s == INVALID_SOCKET || ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(s, 16) != 0) {
        if (s != INVALID_SOCKET)
            ::closesocket(s);
        return;
    }
    int length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ::ntohs(address.sin_port);
    listener_ = s;
    accepting_ = std::thread([this] { Accept(); });
}

HttpServer::~HttpServer() {
    ::SetEvent(stop_);
    if (Listening()) {
        ::closesocket(listener_);
        accepting_.join();
    }
    {
        std::lock_guard guard(lock_);
        for (std::uintptr_t c : connections_)
            ::shutdown(c, SD_BOTH);
    }
    for (std::thread& t : answering_)
        t.join();
    ::CloseHandle(stop_);
}

std::string HttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void HttpServer::Serve(const std::string& path, HttpResponse response) {
    std::lock_guard guard(lock_);
    routes_[path] = std::move(response);
}

void HttpServer::Accept() {
    for (;;) {
        const SOCKET connection = ::accept(listener_, nullptr, nullptr);
        if (connection == INVALID_SOCKET)
            return; // the listener was closed
        std::lock_guard guard(lock_);
        connections_.push_back(connection);
        answering_.emplace_back([this, connection] { Answer(connection); });
    }
}

void HttpServer::Answer(std::uintptr_t connection) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        const int n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    const std::size_t start = request.find(' ') + 1, end = request.find(' ', start);
    const std::string path = start && end != std::string::npos ? request.substr(start, end - start) : "";
    HttpResponse response{404, "not found"};
    {
        std::lock_guard guard(lock_);
        if (const auto found = routes_.find(path); found != routes_.end())
            response = found->second;
    }
    if (response.delivery == Delivery::Silent) {
        ::WaitForSingleObject(stop_, INFINITE); // until the server stops
    } else {
        const std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " + Reason(response.status) +
                                 "\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                                 std::to_string(response.body.size()) + "\r\nConnection: close\r\n\r\n";
        SendAll(connection, head);
        SendAll(connection, response.delivery == Delivery::Whole
                                ? response.body
                                : response.body.substr(0, response.body.size() / 2));
        ::shutdown(connection, SD_SEND);
        while (::recv(connection, buffer, sizeof buffer, 0) > 0) {
        }
    }
    std::lock_guard guard(lock_);
    std::erase(connections_, connection);
    ::closesocket(connection);
}

} // namespace velmora::test
