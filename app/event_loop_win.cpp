#include "app/event_loop_win.h"

#include "app/form_win.h"
#include "app/window_rules.h"

namespace velmora {
namespace {

bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

int PointerKeys() {
    return (KeyDown(VK_CONTROL) ? 1 : 0) | (KeyDown(VK_SHIFT) ? 2 : 0) |
           (KeyDown(VK_MENU) ? 4 : 0);
}

bool ApplyKeyboardRules(Form& form, const MSG& msg) {
    if (msg.message != WM_KEYDOWN)
        return false;
    if (msg.wParam == VK_ESCAPE && form.record->escCloses && !KeyDown(VK_CONTROL) &&
        !KeyDown(VK_SHIFT) && !KeyDown(VK_MENU)) {
        ::SendMessageA(form.hwnd, WM_CLOSE, 0, 0);
        return true;
    }
    if (msg.wParam == VK_TAB && !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)) {
        const std::vector<std::size_t> order = TabOrder(*form.record);
        if (order.empty())
            return false;
        // The focused window may be a control or a window inside one.
        std::size_t current = form.controls.size();
        for (HWND focus = ::GetFocus(); focus && focus != form.hwnd; focus = ::GetParent(focus)) {
            const int index = form.ComponentOf(focus);
            if (index >= 0) {
                current = static_cast<std::size_t>(index);
                break;
            }
        }
        const std::size_t next = NextInTabOrder(order, current, KeyDown(VK_SHIFT));
        if (form.controls[next])
            ::SetFocus(form.controls[next]);
        return true;
    }
    return false;
}

void RaiseDoubleClick(const Form& form, const MSG& msg) {
    const int index = form.ComponentOf(msg.hwnd); // the target itself, not a window inside it
    if (index < 0)
        return;
    const PointerArgs args{LOWORD(msg.lParam), HIWORD(msg.lParam), PointerKeys()};
    RaiseEvent(form, index, kEventLeftDoubleClick, args);
}

} // namespace

bool PreTranslateFormMessage(const MSG& msg) {
    if (!msg.hwnd)
        return false;
    Form* form = FormOfWindow(::GetAncestor(msg.hwnd, GA_ROOT));
    if (!form)
        return false;
    if (msg.message == WM_LBUTTONDBLCLK) {
        RaiseDoubleClick(*form, msg);
        return false; // the list then handles the double-click as usual
    }
    return ApplyKeyboardRules(*form, msg);
}

int RunEventLoop() {
    if (LiveFormCount() == 0)
        return 0;
    MarkEventLoopEntered();
    MSG msg{};
    for (;;) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(msg.wParam);
        if (got == -1)
            return 0;
        if (PreTranslateFormMessage(msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void ProcessPendingMessages() {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (PreTranslateFormMessage(msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

} // namespace velmora
