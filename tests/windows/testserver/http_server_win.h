// A small HTTP server on 127.0.0.1 for the tests. It serves fixed responses by path, and can
// misbehave on purpose: send half a body and close, or accept and stay silent. It stops, and
// closes every connection, when the object goes.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmora::test {

enum class Delivery { Whole, HalfThenClose, Silent };

struct HttpResponse {
    int status = 200;
    std::string body;
    Delivery delivery = Delivery::Whole;
};

class HttpServer {
public:
    explicit HttpServer(unsigned short port = 0); // 0: any free port
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    bool Listening() const { return listener_ != ~std::uintptr_t(0); }
    unsigned short Port() const { return port_; }
    std::string Url(const std::string& path) const;
    void Serve(const std::string& path, HttpResponse response);

private:
    void Accept();
    void Answer(std::uintptr_t connection);

    std::uintptr_t listener_ = ~std::uintptr_t(0); // a SOCKET
    unsigned short port_ = 0;
    HANDLE stop_ = nullptr;
    std::mutex lock_;
    std::map<std::string, HttpResponse> routes_;
    std::vector<std::uintptr_t> connections_;
    std::vector<std::thread> answering_;
    std::thread accepting_;
};

// A workbook made by scripts/make-workbooks for the tests.
std::string FixtureBytes(const char* name);

} // namespace velmora::test
