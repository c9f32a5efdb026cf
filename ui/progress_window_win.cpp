#include "ui/progress_window_win.h"

#include "ui/progress_rules.h"
#include "ui/progress_window_record.h"

#include <commctrl.h>

#include <algorithm>

namespace velmora {

Form* ProgressWindowControl::Current() const {
    return hwnd_ && ::IsWindow(hwnd_) ? FormOfWindow(hwnd_) : nullptr;
}

HWND ProgressWindowControl::Window() const {
    const Form* form = Current();
    return form ? form->hwnd : nullptr;
}

HWND ProgressWindowControl::Bar() const {
    const Form* form = Current();
    return form ? form->Control(Role::ProgressBar) : nullptr;
}

bool ProgressWindowControl::ShowProgressWindow() {
    if (Form* form = Current()) {
        if (!form->pendingDestroy) {
            if (::IsIconic(form->hwnd))
                ::ShowWindow(form->hwnd, SW_RESTORE);
            else
                ::SetForegroundWindow(form->hwnd);
            return true;
        }
        ::DestroyWindow(form->hwnd); // its posted request goes with it
    }
    Form* form = loadForm_(kProgressWindowRecord);
    hwnd_ = form ? form->hwnd : nullptr;
    if (!form)
        return false;
    maximum_ = 100;
    position_ = 0;
    // Drawn now, frame and bar included: the caller holds the thread until the load ends.
    ::RedrawWindow(hwnd_, nullptr, nullptr,
                   RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return true;
}

void ProgressWindowControl::ApplyToBar() {
    HWND bar = Bar();
    if (!bar)
        return;
    ::SendMessageA(bar, PBM_SETRANGE32, 0, maximum_);
    ::SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(ShownPosition(0, maximum_, position_)), 0);
}

void ProgressWindowControl::SetProgressMaximum(std::int32_t value) {
    if (!Current())
        return;
    maximum_ = std::max(value, 0);
    ApplyToBar();
}

void ProgressWindowControl::SetProgressPosition(std::int32_t value) {
    if (!Current())
        return;
    position_ = std::max(value, 0);
    ::SendMessageA(Bar(), PBM_SETPOS, static_cast<WPARAM>(ShownPosition(0, maximum_, position_)),
                   0);
}

void ProgressWindowControl::DestroyProgressWindow() {
    if (Form* form = Current())
        RequestDestroy(*form);
}

} // namespace velmora
