// Fetches a URL with WinINet, under deadlines of its own and a size cap.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace sheetserver {

struct DownloadLimits {
    DWORD connectMs = 10000;  // until the server accepts the connection
    DWORD silenceMs = 30000;  // longest wait for the next bytes
    std::uint64_t maxBytes = 64ull << 20;
};

// The deadlines in force; a test may shorten them (SheetServerSetTimeoutsForTest).
DownloadLimits& CurrentDownloadLimits();

// The body of a 200 response, complete. False, with a description, for any other status, a
// refused or timed-out connection, a body cut short, or one over the cap.
bool Download(const std::wstring& url, const DownloadLimits& limits, std::string& body,
              std::wstring& error);

} // namespace sheetserver
