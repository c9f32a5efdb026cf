#include "sheetserver/text_win.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <vector>

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

namespace sheetserver {
namespace {

// The ANSI bytes of each UTF-16 unit, asked for on first use and kept as first byte, second
// byte and count; 0 means "not yet". Atomic, so that saves on two threads may share it.
class AnsiTable {
public:
    AnsiTable() : entries_(65536) {}
    void Append(char16_t unit, std::string& out) {
        std::uint32_t entry = entries_[unit].load(std::memory_order_relaxed);
        if (entry == 0) {
            const wchar_t wide = static_cast<wchar_t>(unit);
            unsigned char bytes[8] = {};
            const int n = ::WideCharToMultiByte(CP_ACP, 0, &wide, 1, reinterpret_cast<char*>(bytes), sizeof bytes,
                                                nullptr, nullptr);
            entry = n == 1 || n == 2 ? bytes[0] | bytes[1] << 8 | static_cast<std::uint32_t>(n) << 16
                                     : '?' | 1u << 16;
            entries_[unit].store(entry, std::memory_order_relaxed);
        }
        out += static_cast<char>(entry & 0xFF);
        if ((entry >> 16) == 2)
            out += static_cast<char>(entry >> 8 & 0xFF);
    }

private:
    std::vector<std::atomic<std::uint32_t>> entries_;
};

// The next code point of UTF-8 text, or U+FFFD for a malformed sequence.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || at + length > text.size()) {
        ++at;
        return 0xFFFD;
    }
    char32_t c = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            at += i;
            return 0xFFFD;
        }
        c = c << 6 | (byte(at + i) & 0x3F);
    }
    at += length;
    return c;
}

} // namespace

std::string Utf8ToAnsi(std::string_view text) {
    std::string out;
    Utf8ToAnsi(text, out);
    return out;
}

void Utf8ToAnsi(std::string_view text, std::string& out) {
    out.clear();
    CPINFO info{};
    if (!::GetCPInfo(CP_ACP, &info) || info.MaxCharSize > 2) {
        out = ToAnsi(FromUtf8(text)); // not a single- or double-byte code page
        return;
    }
    static AnsiTable table; // the code page does not change while the process runs
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            const std::size_t start = at;
            while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80)
                ++at;
            out.append(text.substr(start, at - start));
            continue;
        }
        const char32_t c = NextCodePoint(text, at);
        table.Append(c < 0x10000 ? static_cast<char16_t>(c) : u'\uFFFD', out);
    }
}

} // namespace sheetserver
