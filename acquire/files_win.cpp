#include "acquire/files_win.h"

#include <windows.h>

namespace velmora {
namespace {

// An open file handle, closed when the object goes.
class Win32File final : public ReadableFile {
public:
    explicit Win32File(HANDLE handle) : handle_(handle) {}
    ~Win32File() override { ::CloseHandle(handle_); }
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    std::int64_t Read(char* buffer, std::int32_t size) override {
        DWORD got = 0;
        if (!::ReadFile(handle_, buffer, static_cast<DWORD>(size), &got, nullptr))
            return -1;
        return got;
    }

    bool SetPosition(std::int64_t position) override {
        LONG high = static_cast<LONG>(position >> 32);
        const DWORD low = ::SetFilePointer(handle_, static_cast<LONG>(position & 0xFFFFFFFF),
                                           &high, FILE_BEGIN);
        return !(low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR);
    }

    // Measured by moving to the end and back, so the position is kept.
    std::int64_t Length() override {
        LONG high = 0;
        const DWORD here = ::SetFilePointer(handle_, 0, &high, FILE_CURRENT);
        if (here == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR)
            return -1;
        const std::int64_t current = (std::int64_t{high} << 32) | here;
        LONG endHigh = 0;
        const DWORD end = ::SetFilePointer(handle_, 0, &endHigh, FILE_END);
        if (end == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR)
            return -1;
        const std::int64_t length = (std::int64_t{endHigh} << 32) | end;
        return SetPosition(current) ? length : -1;
    }

private:
    HANDLE handle_;
};

} // namespace

std::int32_t Win32Files::FileSize(const std::string& path) {
    WIN32_FIND_DATAA data{};
    HANDLE find = ::FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return -1;
    ::FindClose(find);
    return static_cast<std::int32_t>(data.nFileSizeLow);
}

std::unique_ptr<ReadableFile> Win32Files::OpenForReading(const std::string& path) {
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<Win32File>(handle);
}

bool Win32Files::FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Win32Files::RemoveFile(const std::string& path) { ::DeleteFileA(path.c_str()); }

std::string Win32Files::TempFolder() {
    char buffer[MAX_PATH] = {};
    const DWORD length = ::GetTempPathA(MAX_PATH, buffer);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::string(buffer, length);
}

} // namespace velmora
