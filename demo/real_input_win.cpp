#include "demo/real_input_win.h"

#include <vector>

namespace velmora {
namespace {

void SendInputs(std::vector<INPUT> inputs) {
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT MouseInput(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

} // namespace

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> inputs;
    for (WORD m : modifiers)
        inputs.push_back(KeyInput(m, false));
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m)
        inputs.push_back(KeyInput(*m, true));
    SendInputs(inputs);
}

void SendClick(POINT screen, bool right) {
    // A cursor position that has not arrived yet cannot send the click elsewhere.
    // ceil(x * 65536 / width) maps back to x exactly.
    const LONG width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    const auto at = [&](DWORD button) {
        INPUT input = MouseInput(button | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
        input.mi.dx = static_cast<LONG>((screen.x * 65536LL + width - 1) / width);
        input.mi.dy = static_cast<LONG>((screen.y * 65536LL + height - 1) / height);
        return input;
    };
    SendInputs({at(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
                at(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)});
}

bool PasteText(std::string_view text) {
    if (!::OpenClipboard(nullptr))
        return false;
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    bool placed = false;
    if (block) {
        char* bytes = static_cast<char*>(::GlobalLock(block));
        text.copy(bytes, text.size());
        bytes[text.size()] = '\0';
        ::GlobalUnlock(block);
        placed = ::SetClipboardData(CF_TEXT, block) != nullptr;
        if (!placed)
            ::GlobalFree(block); // the clipboard did not take it
    }
    ::CloseClipboard();
    if (placed)
        PressKey('V', {VK_CONTROL});
    return placed;
}

} // namespace velmora
