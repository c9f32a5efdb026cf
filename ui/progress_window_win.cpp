#include "ui/progress_window_win.h"

#include "ui/progress_bar_win.h"
#include "ui/progress_rules.h"
#include "ui/progress_window_record.h"

#include <commctrl.h>

#include <algorithm>

namespace velmora {

ProgressWindowControl::~ProgressWindowControl() {
    if (form_)
        form_->watcher = nullptr;
}

HWND ProgressWindowControl::Window() const { return form_ ? form_->hwnd : nullptr; }

HWND ProgressWindowControl::Bar() const { return form_ ? bar_ : nullptr; }

bool ProgressWindowControl::ShowProgressWindow() {
    if (form_) {
        if (!form_->pendingDestroy) {
            if (::IsIconic(form_->hwnd))
                ::ShowWindow(form_->hwnd, SW_RESTORE);
            else
                ::SetForegroundWindow(form_->hwnd);
            return true;
        }
        ::DestroyWindow(form_->hwnd); // its posted request goes with it; clears form_
    }
    form_ = loadForm_(kProgressWindowRecord);
    if (!form_)
        return false;
    form_->watcher = &form_;
    bar_ = form_->Control(Role::ProgressBar);
    maximum_ = 100;
    position_ = 0;
    // Drawn now, frame and bar included: the caller holds the thread until the load ends.
    ::RedrawWindow(form_->hwnd, nullptr, nullptr,
                   RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return true;
}

void ProgressWindowControl::ApplyToBar() {
    SetProgressBarRange(bar_, 0, maximum_);
    SetProgressBarPosition(bar_, ShownPosition(0, maximum_, position_));
}

void ProgressWindowControl::SetProgressMaximum(std::int32_t value) {
    if (!form_)
        return;
    maximum_ = std::max(value, 0);
    ApplyToBar();
}

void ProgressWindowControl::SetProgressPosition(std::int32_t value) {
    if (!form_)
        return;
    position_ = std::max(value, 0);
    SetProgressBarPosition(bar_, ShownPosition(0, maximum_, position_));
}

void ProgressWindowControl::DestroyProgressWindow() {
    if (form_)
        RequestDestroy(*form_);
}

} // namespace velmora
