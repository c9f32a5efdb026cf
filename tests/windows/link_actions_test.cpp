// Search, popup, clipboard, message box and shell, with the real window, input and clipboard.
#include "tests/windows/test_support_win.h"

#include "actions/link_actions.h"
#include "actions/search.h"
#include "app/clipboard_text.h"
#include "app/desktop_win.h"

#include <commctrl.h>

#include <atomic>
#include <thread>

namespace velmora::test {
namespace {

std::string ClipboardBytes() {
    std::string text = "<unreadable>";
    if (!::OpenClipboard(nullptr))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(::GlobalLock(data))) {
            text = bytes;
            ::GlobalUnlock(data);
        }
    } else {
        text = "<none>";
    }
    ::CloseClipboard();
    return text;
}

// The real desktop, except that links handed to the shell are recorded, not opened.
class RecordingDesktop final : public DesktopPort {
public:
    explicit RecordingDesktop(const Form* mainWindow) : real_(mainWindow) {}
    void ShowMessageBox(std::string_view text, std::uint32_t style,
                        std::string_view title) override {
        real_.ShowMessageBox(text, style, title);
        boxesClosed++;
    }
    bool CopyToClipboard(const std::string& text) override { return real_.CopyToClipboard(text); }
    void ShellOpen(const std::string& text) override {
        opened.push_back(text);
        boxesClosedAtOpen = boxesClosed;
    }
    void PopUpMenu(Role menu) override { real_.PopUpMenu(menu); }

    std::vector<std::string> opened;
    int boxesClosed = 0;
    int boxesClosedAtOpen = -1;

private:
    Win32Desktop real_;
};

class LinkActions : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        desktop_ = std::make_unique<RecordingDesktop>(form_);
        searchBox_ = std::make_unique<Win32TextBox>(Control(Role::SearchBox));
        context_ = {.gameList = list_.get(), .desktop = desktop_.get(),
                    .searchBox = searchBox_.get()};
        run_ = &context_;
        for (int i = 0; i < 5; ++i) {
            const int row = List().InsertRow();
            List().SetCellText(row, 1, "游戏" + std::to_string(i));
            List().SetCellText(row, 2, "https://example.org/g" + std::to_string(i));
        }
    }
    void TearDown() override {
        ClipboardText.clear();
        MainWindowTest::TearDown();
    }

    POINT RowPoint(int row) {
        RECT rect{LVIR_BOUNDS, 0, 0, 0};
        ::SendMessageA(Control(Role::GameList), LVM_GETITEMRECT, row,
                       reinterpret_cast<LPARAM>(&rect));
        POINT point{rect.left + 60, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(Control(Role::GameList), &point);
        return point;
    }

    std::unique_ptr<RecordingDesktop> desktop_;
    std::unique_ptr<Win32TextBox> searchBox_;
    HandlerContext context_;
};

TEST_F(LinkActions, CopyPutsTheExactBytesOnTheClipboard) {
    Win32Desktop desktop(form_);
    for (const std::string text : {"游戏,\x81\x61 link\r\n", "", "https://example.org/g1"}) {
        EXPECT_TRUE(desktop.CopyToClipboard(text));
        EXPECT_EQ(ClipboardBytes(), text);
    }
}

TEST_F(LinkActions, ACopyWhileAnotherProgramHoldsTheClipboardLeavesItAsItWas) {
    Win32Desktop desktop(form_);
    ASSERT_TRUE(desktop.CopyToClipboard("before"));
    std::string command = "\"" + BesideTestProgram("velmora_driver.exe") + "\" hold-clipboard 3000";
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process));
    // Wait until the other program has the clipboard.
    bool held = false;
    for (int i = 0; i < 600 && !held; ++i) {
        held = !::OpenClipboard(nullptr);
        if (!held) {
            ::CloseClipboard();
            ::Sleep(5);
        }
    }
    ASSERT_TRUE(held);
    List().SetSelectedRow(1);
    OnCopyLinkSelected(context_);
    EXPECT_EQ(ClipboardText, "https://example.org/g1");
    ::WaitForSingleObject(process.hProcess, 5000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    EXPECT_EQ(ClipboardBytes(), "before");
    EXPECT_EQ(::FindWindowA("#32770", nullptr), nullptr); // nothing shown
}

// The popup menu window, its menu and the cursor when it appeared, found from another thread.
struct SeenMenu {
    RECT rect{};
    POINT cursor{};
    std::vector<std::string> items;
};

SeenMenu LookAtMenu(HWND menuWindow) {
    SeenMenu seen;
    ::GetWindowRect(menuWindow, &seen.rect);
    ::GetCursorPos(&seen.cursor);
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        char caption[64] = {};
        ::GetMenuStringA(menu, i, caption, sizeof caption, MF_BYPOSITION);
        seen.items.push_back(caption);
    }
    return seen;
}

TEST_F(LinkActions, RightClickShowsTheThreeItemsAtTheCursorAndEscapeRunsNothing) {
    SeenMenu seen;
    std::atomic<bool> found{false};
    std::thread helper([&] {
        if (HWND menu = WaitForWindow("#32768", nullptr)) {
            seen = LookAtMenu(menu);
            found = true;
            PressKey(VK_ESCAPE);
        }
    });
    ClickAt(RowPoint(2), true);
    PumpFor(300);
    helper.join();
    ASSERT_TRUE(found);
    EXPECT_EQ(seen.items, (std::vector<std::string>{"打开链接", "复制标题", "复制链接"}));
    EXPECT_EQ(seen.rect.left, seen.cursor.x + 3);
    EXPECT_EQ(seen.rect.top, seen.cursor.y + 3);
    ASSERT_EQ(events_.size(), 1u); // the right click only
    EXPECT_EQ(events_[0].handler, HandlerId::ListRightClick);
    EXPECT_TRUE(::IsWindow(hwnd_)); // Escape closed the menu, not the window
}

TEST_F(LinkActions, CopyLinkChosenWithTheKeyboardPutsTheLinkOnTheClipboard) {
    std::thread helper([&] {
        if (WaitForWindow("#32768", nullptr)) {
            PressKey(VK_DOWN);
            PressKey(VK_DOWN);
            PressKey(VK_DOWN);
            PressKey(VK_RETURN);
        }
    });
    ClickAt(RowPoint(3), true);
    PumpUntil([&] { return events_.size() >= 2; });
    helper.join();
    ASSERT_EQ(events_.size(), 2u);
    EXPECT_EQ(events_[1].handler, HandlerId::CopyLinkSelected);
    EXPECT_EQ(ClipboardBytes(), "https://example.org/g3");
    EXPECT_EQ(ClipboardText, "https://example.org/g3");
}

TEST_F(LinkActions, CopyTitleChosenWithTheMouseRunsAfterTheMenuHasClosed) {
    std::atomic<bool> menuGoneAtHandler{false};
    probe_ = [] { return ::FindWindowA("#32768", nullptr) && ::IsWindowVisible(::FindWindowA("#32768", nullptr)) ? 1 : 0; };
    std::thread helper([&] {
        if (HWND menuWindow = WaitForWindow("#32768", nullptr)) {
            HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
            RECT item{};
            ::GetMenuItemRect(nullptr, menu, 1, &item);
            ClickAt({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
        }
    });
    ClickAt(RowPoint(4), true);
    PumpUntil([&] { return events_.size() >= 2; });
    helper.join();
    ASSERT_EQ(events_.size(), 2u);
    EXPECT_EQ(events_[0].selectedRow, 4);
    EXPECT_EQ(events_[1].handler, HandlerId::CopyTitleSelected);
    EXPECT_EQ(events_[1].probed, 0) << "the menu was still open when the handler ran";
    EXPECT_EQ(ClipboardBytes(), "游戏4");
}

TEST_F(LinkActions, OpenLinkShowsTheBoxAndOpensTheLinkOnlyAfterOk) {
    std::string boxText;
    std::atomic<bool> openedBeforeOk{false};
    std::thread helper([&] {
        if (!WaitForWindow("#32768", nullptr))
            return;
        PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        HWND box = WaitForWindow("#32770", "信息：");
        if (!box)
            return;
        ::EnumChildWindows(
            box,
            [](HWND child, LPARAM out) -> BOOL {
                char name[16] = {};
                ::GetClassNameA(child, name, sizeof name);
                const std::string text = WindowText(child);
                if (lstrcmpiA(name, "Static") == 0 && !text.empty())
                    *reinterpret_cast<std::string*>(out) = text;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&boxText));
        ::Sleep(200);
        PressKey(VK_RETURN); // OK
    });
    ClickAt(RowPoint(1), true);
    PumpUntil([&] { return !desktop_->opened.empty(); }, 8000);
    helper.join();
    EXPECT_EQ(boxText, "链接为https://example.org/g1");
    ASSERT_EQ(desktop_->opened, (std::vector<std::string>{"https://example.org/g1"}));
    EXPECT_EQ(desktop_->boxesClosedAtOpen, 1);
    EXPECT_FALSE(openedBeforeOk);
}

TEST_F(LinkActions, DoubleClickOpensTheRowsLinkAtOnce) {
    ClickAt(RowPoint(2), false, 2);
    PumpUntil([&] { return !desktop_->opened.empty(); });
    EXPECT_EQ(desktop_->opened, (std::vector<std::string>{"https://example.org/g2"}));
    EXPECT_EQ(desktop_->boxesClosed, 0);
}

TEST_F(LinkActions, SearchSelectsFocusesAndShowsTheFoundRowOfAThousand) {
    HWND list = Control(Role::GameList);
    List().DeleteAllRows();
    List().SetRedraw(false);
    for (int i = 0; i < 1000; ++i)
        List().SetCellText(List().InsertRow(), 1, i == 777 ? "目标游戏" : "游戏" + std::to_string(i));
    List().SetRedraw(true);
    ::SetWindowTextA(Control(Role::SearchBox), "目标");
    ::SetFocus(Control(Role::SearchBox));
    ::SendMessageA(Control(Role::SearchButton), BM_CLICK, 0, 0);
    EXPECT_EQ(::GetFocus(), list);
    EXPECT_EQ(List().SelectedRow(), 777);
    EXPECT_EQ(::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(::SendMessageA(list, LVM_GETITEMSTATE, 777, LVIS_SELECTED | LVIS_FOCUSED),
              LVIS_SELECTED | LVIS_FOCUSED);
    RECT row{LVIR_BOUNDS, 0, 0, 0}, client{};
    ::SendMessageA(list, LVM_GETITEMRECT, 777, reinterpret_cast<LPARAM>(&row));
    ::GetClientRect(list, &client);
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT headerRect{};
    ::GetWindowRect(header, &headerRect);
    EXPECT_GE(row.top, headerRect.bottom - headerRect.top);
    EXPECT_LE(row.bottom, client.bottom);
}

} // namespace
} // namespace velmora::test
