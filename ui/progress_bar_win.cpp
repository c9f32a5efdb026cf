#include "ui/progress_bar_win.h"

#include "ui/progress_rules.h"

#include <commctrl.h>

namespace velmora {
namespace {

constexpr UINT_PTR kSubclassId = 1;

// The bar's range and position; the control's own state is not used.
struct BarState {
    std::int32_t minimum = 0;
    std::int32_t maximum = 100;
    std::int32_t position = 0;
    int drawnWidth = 0;
    int paints = 0;
};

int InnerWidth(HWND bar) {
    RECT client{};
    ::GetClientRect(bar, &client);
    return client.right - client.left;
}

// Repaints now if the filled width has changed.
void Refresh(HWND bar, BarState& state) {
    const int width = FilledWidth(InnerWidth(bar), state.minimum, state.maximum, state.position);
    if (width == state.drawnWidth)
        return;
    ::InvalidateRect(bar, nullptr, FALSE);
    ::UpdateWindow(bar);
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
    ++state.paints;
}

LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                         DWORD_PTR data) {
    auto& state = *reinterpret_cast<BarState*>(data);
    switch (message) {
    case PBM_SETRANGE32: {
        const LRESULT old = MAKELONG(state.minimum, state.maximum);
        state.minimum = static_cast<std::int32_t>(wParam);
        state.maximum = static_cast<std::int32_t>(lParam);
        state.position = ShownPosition(state.minimum, state.maximum, state.position);
        Refresh(bar, state);
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
        state.position =
            ShownPosition(state.minimum, state.maximum, static_cast<std::int32_t>(wParam));
        Refresh(bar, state);
        return old;
    }
    case PBM_GETPOS:
        return state.position;
    case WM_ERASEBKGND:
        return TRUE; // the paint covers the whole client area
    case WM_PAINT:
        Paint(bar, state);
        return 0;
    case WM_NCDESTROY: {
        ::RemoveWindowSubclass(bar, BarProc, kSubclassId);
        ::SetWindowLongPtrA(bar, GWLP_USERDATA, 0);
        delete &state;
        return ::DefSubclassProc(bar, message, wParam, lParam);
    }
    default:
        return ::DefSubclassProc(bar, message, wParam, lParam);
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
    auto* state = new BarState; // owned by the subclass, freed at WM_NCDESTROY
    if (!::SetWindowSubclass(bar, BarProc, kSubclassId, reinterpret_cast<DWORD_PTR>(state))) {
        delete state;
        ::DestroyWindow(bar);
        return nullptr;
    }
    ::SetWindowLongPtrA(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state)); // for lookups
    return bar;
}

int ProgressBarPaintCount(HWND bar) {
    const auto* state = reinterpret_cast<const BarState*>(::GetWindowLongPtrA(bar, GWLP_USERDATA));
    return state ? state->paints : 0;
}

} // namespace velmora
