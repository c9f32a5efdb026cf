// ProgressWindow and the Progress port over it.
#pragma once

#include "app/form_win.h"
#include "ui/progress_port.h"

namespace velmora {

using FormLoader = Form* (*)(const WindowRecord&);

class ProgressWindowControl final : public ProgressPort {
public:
    explicit ProgressWindowControl(FormLoader loadForm = LoadForm) : loadForm_(loadForm) {}
    ~ProgressWindowControl();
    ProgressWindowControl(const ProgressWindowControl&) = delete;
    ProgressWindowControl& operator=(const ProgressWindowControl&) = delete;

    bool ShowProgressWindow() override;
    // Without a window (it could not be created) these do nothing, so that a load goes on.
    void SetProgressMaximum(std::int32_t value) override;
    void SetProgressPosition(std::int32_t value) override;
    void DestroyProgressWindow() override;

    // The window, or null when there is none.
    HWND Window() const;
    HWND Bar() const;

private:
    void ApplyToBar();

    FormLoader loadForm_;
    Form* form_ = nullptr; // the window while it exists: its Form clears this when it goes
    HWND bar_ = nullptr;
    std::int32_t maximum_ = 100;
    std::int32_t position_ = 0;
};

} // namespace velmora
