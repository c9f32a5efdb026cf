// WinINet blocks without a deadline under Wine, which ignores its time-out options. So the
// transfer runs on a worker thread, and the caller watches the clock: when the connection or
// the next bytes are late, it closes the transfer's handles and stops waiting. The worker holds
// a reference to this module until it has returned, so a late worker never runs unloaded code.
#include "sheetserver/download_win.h"

#include "sheetserver/dispatch_win.h"

#include <wininet.h>

#include <atomic>
#include <memory>
#include <mutex>

namespace sheetserver {
namespace {

class Transfer {
public:
    Transfer(std::wstring url, const DownloadLimits& limits) : url_(std::move(url)), limits_(limits) {}

    void Run();

    // The caller gives up: whatever the worker does next fails on closed handles. (Between its
    // check and its next call the worker could in principle meet a reused handle value; that
    // call would only fail too.)
    void Abandon() {
        std::lock_guard guard(lock_);
        abandoned_ = true;
        CloseLocked();
    }

    bool Connected() const { return connected_; }
    ULONGLONG ProgressAt() const { return progressAt_; }
    bool Succeeded() const { return ok_; }
    std::string& Body() { return body_; }
    const std::wstring& Error() const { return error_; }

private:
    static void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID, DWORD) {
        auto* transfer = reinterpret_cast<Transfer*>(context);
        if (!transfer)
            return; // the session handle, which carries no context
        if (status == INTERNET_STATUS_CONNECTED_TO_SERVER)
            transfer->connected_ = true;
        if (status == INTERNET_STATUS_CONNECTED_TO_SERVER || status == INTERNET_STATUS_RESPONSE_RECEIVED)
            transfer->progressAt_ = ::GetTickCount64();
    }

    // Keeps a new handle for closing, unless the caller has given up already.
    bool Adopt(HINTERNET handle, HINTERNET& slot) {
        std::lock_guard guard(lock_);
        if (abandoned_) {
            ::InternetCloseHandle(handle);
            return false;
        }
        slot = handle;
        return true;
    }

    void CloseLocked() {
        if (request_)
            ::InternetCloseHandle(request_);
        if (internet_)
            ::InternetCloseHandle(internet_);
        request_ = internet_ = nullptr;
    }

    bool Fail(const std::wstring& error) {
        error_ = error;
        return false;
    }
    bool Fetch();

    const std::wstring url_;
    const DownloadLimits limits_;
    std::mutex lock_;
    HINTERNET internet_ = nullptr, request_ = nullptr;
    bool abandoned_ = false;
    std::atomic<bool> connected_{false};
    std::atomic<ULONGLONG> progressAt_{::GetTickCount64()};
    // Written by the worker, read by the caller only after the worker has ended.
    std::string body_;
    std::wstring error_;
    bool ok_ = false;
};

void Transfer::Run() {
    ok_ = Fetch();
    if (!ok_)
        body_.clear();
    std::lock_guard guard(lock_);
    CloseLocked();
}

bool Transfer::Fetch() {
    HINTERNET internet = ::InternetOpenW(L"Velmora sheet server", INTERNET_OPEN_TYPE_PRECONFIG,
                                         nullptr, nullptr, 0);
    if (!internet || !Adopt(internet, internet_))
        return Fail(L"WinINet could not start.");
    ::InternetSetStatusCallbackW(internet, &Transfer::OnStatus);
    constexpr DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                            INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH;
    HINTERNET request = ::InternetOpenUrlW(internet, url_.c_str(), nullptr, 0, flags,
                                           reinterpret_cast<DWORD_PTR>(this));
    if (!request || !Adopt(request, request_))
        return Fail(L"The server could not be reached (error " + std::to_wstring(::GetLastError()) + L").");
    connected_ = true;
    progressAt_ = ::GetTickCount64();

    DWORD status = 0, size = sizeof status;
    if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return Fail(L"The server sent no HTTP status.");
    if (status != 200)
        return Fail(L"The server answered with HTTP status " + std::to_wstring(status) + L".");
    wchar_t lengthText[32] = {};
    size = sizeof lengthText;
    std::uint64_t expected = UINT64_MAX; // unknown
    if (::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, lengthText, &size, nullptr)) {
        expected = std::wcstoull(lengthText, nullptr, 10);
        if (expected > limits_.maxBytes)
            return Fail(L"The workbook is larger than the download limit.");
        body_.reserve(static_cast<std::size_t>(expected));
    }
    // Large reads: each InternetReadFile is a round trip through Wine's WinINet.
    constexpr DWORD kChunk = 1 << 20;
    const std::unique_ptr<char[]> buffer(new char[kChunk]);
    for (;;) {
        DWORD read = 0;
        if (!::InternetReadFile(request, buffer.get(), kChunk, &read))
            return Fail(L"The download broke off (error " + std::to_wstring(::GetLastError()) + L").");
        if (read == 0)
            break;
        progressAt_ = ::GetTickCount64();
        if (body_.size() + read > limits_.maxBytes)
            return Fail(L"The workbook is larger than the download limit.");
        body_.append(buffer.get(), read);
    }
    if (expected != UINT64_MAX && body_.size() != expected)
        return Fail(L"The download ended before the whole workbook had arrived.");
    return true;
}

DWORD WINAPI Worker(void* parameter) {
    {
        std::unique_ptr<std::shared_ptr<Transfer>> transfer(static_cast<std::shared_ptr<Transfer>*>(parameter));
        (*transfer)->Run();
    }
    ::FreeLibraryAndExitThread(ThisModule(), 0);
}

} // namespace

DownloadLimits& CurrentDownloadLimits() {
    static DownloadLimits limits;
    return limits;
}

bool Download(const std::wstring& url, const DownloadLimits& limits, std::string& body,
              std::wstring& error) {
    auto transfer = std::make_shared<Transfer>(url, limits);
    HMODULE pinned = nullptr; // the worker's reference, released as it exits
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&Worker), &pinned);
    auto* parameter = new std::shared_ptr<Transfer>(transfer);
    HANDLE thread = ::CreateThread(nullptr, 0, Worker, parameter, 0, nullptr);
    if (!thread) {
        delete parameter;
        ::FreeLibrary(pinned);
        error = L"No worker thread could be started.";
        return false;
    }
    const ULONGLONG start = ::GetTickCount64();
    while (::WaitForSingleObject(thread, 20) == WAIT_TIMEOUT) {
        const ULONGLONG now = ::GetTickCount64();
        const bool late = transfer->Connected() ? now - transfer->ProgressAt() > limits.silenceMs
                                                : now - start > limits.connectMs;
        if (late) {
            transfer->Abandon();
            ::CloseHandle(thread);
            error = transfer->Connected() ? L"The server went silent." : L"The connection timed out.";
            return false;
        }
    }
    ::CloseHandle(thread);
    if (!transfer->Succeeded()) {
        error = transfer->Error();
        return false;
    }
    body = std::move(transfer->Body());
    return true;
}

} // namespace sheetserver
