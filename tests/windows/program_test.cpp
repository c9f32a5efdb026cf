// The real velmora.exe, started as its own process: how it ends.
#include "tests/windows/program_support_win.h"
#include "tests/windows/test_support_win.h"

#include "app/clipboard_text.h"
#include "app/program_win.h"

#include <commctrl.h>

#include <atomic>
#include <thread>

namespace velmora::test {
namespace {

TEST(Program, EscInTheSearchBoxEndsTheProgramWithExitCodeZero) {
    Program program;
    ASSERT_TRUE(program.Started());
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    HWND searchBox = ChildOfClass(main, "Edit");
    ASSERT_NE(searchBox, nullptr);
    Foreground(main);
    RECT box{};
    ::GetWindowRect(searchBox, &box);
    ClickAt({(box.left + box.right) / 2, (box.top + box.bottom) / 2});
    PressKey(VK_ESCAPE);
    EXPECT_EQ(program.ExitCode(), 0);
}

TEST(Program, TheCloseBoxEndsTheProgramWithExitCodeZero) {
    Program program;
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    ::PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

TEST(Program, AltF4EndsTheProgramWithExitCodeZero) {
    Program program;
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    Foreground(main);
    PressKey(VK_F4, {VK_MENU});
    EXPECT_EQ(program.ExitCode(), 0);
}

TEST(Program, AFetchWithoutASpreadsheetApplicationLeavesTheListEmptyAndShowsNothing) {
    SheetServerUnregistered unregistered;
    ASSERT_TRUE(unregistered.Done());
    Program program;
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    HWND fetch = ChildOfClass(main, "Button", 1); // FetchButton follows SearchButton
    ASSERT_EQ(WindowText(fetch), "云端获取列表");
    ::SendMessageA(fetch, BM_CLICK, 0, 0);
    ::SendMessageA(fetch, BM_CLICK, 0, 0); // the handler has run once the click returns
    HWND list = ChildOfClass(main, "SysListView32");
    EXPECT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(::FindWindowA("#32770", nullptr), nullptr);
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

TEST(Program, AUrlThatDoesNotEndInXlsxIsRefusedWithTheMessageBox) {
    Program program("velmora_wrong_extension.exe");
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    HWND fetch = ChildOfClass(main, "Button", 1);
    ASSERT_EQ(WindowText(fetch), "云端获取列表");
    ::PostMessageA(fetch, BM_CLICK, 0, 0); // posted: the box holds the program's thread
    HWND box = WaitForWindow("#32770", "提示");
    ASSERT_NE(box, nullptr);
    std::vector<std::string> texts;
    bool icon = false;
    for (HWND child : ChildrenOfClass(box, "Static")) {
        if (!WindowText(child).empty())
            texts.push_back(WindowText(child));
        icon = icon || ((::GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                        ::IsWindowVisible(child) && ::SendMessageA(child, STM_GETICON, 0, 0));
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"文件后缀错误！"}));
    EXPECT_FALSE(icon);
    const std::vector<HWND> buttons = ChildrenOfClass(box, "Button");
    ASSERT_EQ(buttons.size(), 1u); // OK only
    HWND list = ChildOfClass(main, "SysListView32");
    // Redrawing is back on before the box is shown: the list is visible again.
    EXPECT_TRUE(::GetWindowLongPtrA(list, GWL_STYLE) & WS_VISIBLE);
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(buttons[0]), BN_CLICKED),
                   reinterpret_cast<LPARAM>(buttons[0]));
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(box); }));
    EXPECT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_TRUE(::GetWindowLongPtrA(list, GWL_STYLE) & WS_VISIBLE);
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

TEST(Program, StartsWithTheFocusOnTheList) {
    Program program;
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    GUITHREADINFO info{sizeof info};
    DWORD thread = ::GetWindowThreadProcessId(main, nullptr);
    ASSERT_TRUE(PumpUntil([&] {
        return ::GetGUIThreadInfo(thread, &info) && info.hwndFocus &&
               info.hwndFocus == ChildOfClass(main, "SysListView32");
    }));
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}


TEST(Program, AMainWindowThatCannotBeCreatedGivesTheFatalErrorReportAndExitCodeMinusOne) {
    ClipboardText = "kept";
    std::atomic<bool> boxSeen{false};
    std::atomic<bool> hasErrorIcon{false};
    std::thread closer([&] {
        for (int i = 0; i < 500 && !boxSeen; ++i) {
            HWND box = ::FindWindowA("#32770", "Velmora");
            if (box) {
                boxSeen = true;
                ::EnumChildWindows(
                    box,
                    [](HWND child, LPARAM seen) -> BOOL {
                        const auto style = ::GetWindowLongPtrA(child, GWL_STYLE);
                        if ((style & SS_TYPEMASK) == SS_ICON &&
                            ::SendMessageA(child, STM_GETICON, 0, 0) != 0)
                            *reinterpret_cast<std::atomic<bool>*>(seen) = true;
                        return TRUE;
                    },
                    reinterpret_cast<LPARAM>(&hasErrorIcon));
                ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
            ::Sleep(10);
        }
    });
    const int code = RunProgram(::GetModuleHandleA(nullptr), [](const WindowRecord&) -> Form* {
        return nullptr;
    });
    closer.join();
    EXPECT_EQ(code, -1);
    EXPECT_TRUE(boxSeen);
    EXPECT_TRUE(hasErrorIcon);
    EXPECT_EQ(ClipboardText, "kept"); // the exit routines did not run
    ClipboardText.clear();
}

} // namespace
} // namespace velmora::test
