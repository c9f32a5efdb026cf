// Conversions between the server's UTF-8 cell texts, automation's UTF-16 and the ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace sheetserver {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);
std::string ToAnsi(std::wstring_view text); // CP_ACP; unmappable characters become '?'

} // namespace sheetserver
