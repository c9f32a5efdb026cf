// Real keyboard and mouse input through SendInput, for the demo's driver and the tests.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string_view>

namespace velmora {

// Presses and releases a key, with modifiers held around it.
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});

// One click at a screen position; each button event carries the position.
void SendClick(POINT screen, bool right = false);

// Enters text of the ANSI code page into the focused control: puts it on the clipboard and
// presses Ctrl+V. (Wine turns Unicode key strokes for an ANSI window into their low bytes, so
// Chinese text cannot be typed key by key.) False when the clipboard was not to be had.
bool PasteText(std::string_view text);

} // namespace velmora
