// Conversions between the server's UTF-8 cell texts, automation's UTF-16 and the ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace sheetserver {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);
std::string ToAnsi(std::wstring_view text); // CP_ACP; unmappable characters become '?'

// UTF-8 straight to the ANSI code page, as ToAnsi(FromUtf8(text)) gives it, in one pass: each
// character's bytes are asked of the system once and kept, which is what makes saving a large
// sheet fast (a text is mostly ASCII and a few thousand distinct characters).
std::string Utf8ToAnsi(std::string_view text);
void Utf8ToAnsi(std::string_view text, std::string& out); // into `out`, reusing its storage

} // namespace sheetserver
