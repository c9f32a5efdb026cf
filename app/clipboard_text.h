#pragma once

#include <string>

namespace velmora {

// The text that the last copy action put on the clipboard. The clipboard keeps its own copy.
extern std::string ClipboardText;

// Exit routine: releases ClipboardText.
void OnExit();

} // namespace velmora
