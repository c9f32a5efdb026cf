#include "ui/progress_bar_win.h"

#include "ui/progress_rules.h"

#include <commctrl.h>

#include <algorithm>

namespace velmora {
namespace {

// The bar's range and position; the control's own state is not used. Held in the window's
// user data: looking it up costs nothing, where window properties (and so SetWindowSubclass)
// cost a server round trip per message under Wine.
struct BarState {
    WNDPROC original = nullptr;
    std::int32_t minimum = 0;
    std::int32_t maximum = 100;
    std::int32_t position = 0;
    int clientWidth = 0;
    int drawnWidth = 0;
    int paints = 0;            // repaints: changes drawn, and paints asked for by the system
    ULONGLONG lastPresented = 0;
    bool presenting = false;   // painting only to present what has been drawn
};

constexpr ULONGLONG kFrameMilliseconds = 16;

// Draws the columns whose state has changed, before returning: a running load holds the
// thread, so no WM_PAINT would come by itself. Where windows are composed from surfaces (as
// under Wine) such drawing reaches the screen with the next paint, so a paint of the change
// follows at most once a frame: every change shows within a frame, and a load does not pay
// for a full paint at each of the bar's 630 steps.
void Refresh(HWND bar, BarState& state) {
    const int width = FilledWidth(state.clientWidth, state.minimum, state.maximum, state.position);
    if (width == state.drawnWidth)
        return;
    RECT changed{};
    ::GetClientRect(bar, &changed);
    changed.left = std::min(width, state.drawnWidth);
    changed.right = std::max(width, state.drawnWidth);
    HDC dc = ::GetDC(bar);
    ::FillRect(dc, &changed,
               ::GetSysColorBrush(width > state.drawnWidth ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    ::ReleaseDC(bar, dc);
    state.drawnWidth = width;
    ++state.paints;

    const ULONGLONG now = ::GetTickCount64();
    if (now - state.lastPresented >= kFrameMilliseconds) {
        state.lastPresented = now;
        state.presenting = true;
        ::InvalidateRect(bar, &changed, FALSE);
        ::UpdateWindow(bar);
        state.presenting = false;
    }
}

void Paint(HWND bar, BarState& state) {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(bar, &paint);
    RECT client{};
    ::GetClientRect(bar, &client);
    const int width =
        FilledWidth(client.right - client.left, state.minimum, state.maximum, state.position);
    RECT filled = client, rest = client;
    filled.right = client.left + width;
    rest.left = filled.right;
    ::FillRect(dc, &filled, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    ::FillRect(dc, &rest, ::GetSysColorBrush(COLOR_BTNFACE));
    ::EndPaint(bar, &paint);
    state.drawnWidth = width;
    if (!state.presenting)
        ++state.paints;
}

BarState* StateOf(HWND bar) {
    return reinterpret_cast<BarState*>(::GetWindowLongPtrA(bar, GWLP_USERDATA));
}

void SetRange(HWND bar, BarState& state, std::int32_t minimum, std::int32_t maximum) {
    state.minimum = minimum;
    state.maximum = maximum;
    state.position = ShownPosition(state.minimum, state.maximum, state.position);
    Refresh(bar, state);
}

void SetPosition(HWND bar, BarState& state, std::int32_t position) {
    state.position = ShownPosition(state.minimum, state.maximum, position);
    Refresh(bar, state);
}

LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    BarState* held = StateOf(bar);
    if (!held)
        return ::DefWindowProcA(bar, message, wParam, lParam);
    auto& state = *held;
    switch (message) {
    case PBM_SETRANGE32: {
        const LRESULT old = MAKELONG(state.minimum, state.maximum);
        SetRange(bar, state, static_cast<std::int32_t>(wParam), static_cast<std::int32_t>(lParam));
        return old;
    }
    case PBM_GETRANGE: {
        if (lParam) {
            auto& range = *reinterpret_cast<PBRANGE*>(lParam);
            range.iLow = state.minimum;
            range.iHigh = state.maximum;
        }
        return wParam ? state.minimum : state.maximum;
    }
    case PBM_SETPOS: {
        const LRESULT old = state.position;
        SetPosition(bar, state, static_cast<std::int32_t>(wParam));
        return old;
    }
    case PBM_GETPOS:
        return state.position;
    case WM_SIZE:
        state.clientWidth = LOWORD(lParam);
        return ::CallWindowProcA(state.original, bar, message, wParam, lParam);
    case WM_ERASEBKGND:
        return TRUE; // the paint covers the whole client area
    case WM_PAINT:
        Paint(bar, state);
        return 0;
    case WM_NCDESTROY: {
        const WNDPROC original = state.original;
        ::SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        ::SetWindowLongPtrA(bar, GWLP_USERDATA, 0);
        delete &state;
        return ::CallWindowProcA(original, bar, message, wParam, lParam);
    }
    default:
        return ::CallWindowProcA(state.original, bar, message, wParam, lParam);
    }
}

} // namespace

HWND CreateProgressBar(HWND parent, const ComponentRecord& record, DWORD commonStyle, HMENU id,
                       HINSTANCE instance) {
    HWND bar = ::CreateWindowExA(WS_EX_STATICEDGE, PROGRESS_CLASSA, "", commonStyle, record.x,
                                 record.y, record.width, record.height, parent, id, instance,
                                 nullptr);
    if (!bar)
        return nullptr;
    auto* state = new BarState; // owned by the window, freed at WM_NCDESTROY
    ::SetWindowLongPtrA(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    state->original = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BarProc)));
    RECT client{};
    ::GetClientRect(bar, &client);
    state->clientWidth = client.right;
    return bar;
}

void SetProgressBarRange(HWND bar, std::int32_t minimum, std::int32_t maximum) {
    if (BarState* state = StateOf(bar))
        SetRange(bar, *state, minimum, maximum);
}

void SetProgressBarPosition(HWND bar, std::int32_t position) {
    if (BarState* state = StateOf(bar))
        SetPosition(bar, *state, position);
}

int ProgressBarPaintCount(HWND bar) {
    const BarState* state = StateOf(bar);
    return state ? state->paints : 0;
}

} // namespace velmora
