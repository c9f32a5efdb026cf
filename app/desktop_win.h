#pragma once

#include "app/desktop_port.h"
#include "app/form_win.h"

namespace velmora {

// The Desktop port over the Windows desktop: message box, clipboard, shell, popup menus of
// MainWindow's record.
class Win32Desktop final : public DesktopPort {
public:
    explicit Win32Desktop(const Form* mainWindow) : mainWindow_(mainWindow) {}

    void ShowMessageBox(std::string_view text, std::uint32_t style,
                        std::string_view title) override;
    bool CopyToClipboard(const std::string& text) override;
    void ShellOpen(const std::string& text) override;
    void PopUpMenu(Role menu) override;

private:
    const Form* mainWindow_;
};

// The text of an edit box.
class Win32TextBox final : public TextBoxPort {
public:
    explicit Win32TextBox(HWND hwnd) : hwnd_(hwnd) {}
    std::string Text() const override;

private:
    HWND hwnd_;
};

} // namespace velmora
