#include "sheetserver/text_win.h"

#include <windows.h>

namespace sheetserver {
namespace {

std::string Narrow(UINT codePage, std::wstring_view text) {
    if (text.empty())
        return {};
    const int length = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), length,
                          nullptr, nullptr);
    return out;
}

} // namespace

std::string ToUtf8(std::wstring_view text) { return Narrow(CP_UTF8, text); }
std::string ToAnsi(std::wstring_view text) { return Narrow(CP_ACP, text); }

std::wstring FromUtf8(std::string_view text) {
    if (text.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length);
    return out;
}

} // namespace sheetserver
