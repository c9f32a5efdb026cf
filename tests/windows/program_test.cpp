// The real velmora.exe, started as its own process: how it ends.
#include "tests/windows/test_support_win.h"

#include "app/clipboard_text.h"
#include "app/program_win.h"

#include <commctrl.h>

#include <atomic>
#include <thread>

namespace velmora::test {
namespace {

// A started velmora.exe; ended by force if a test leaves it running.
class Program {
public:
    explicit Program(const char* file = "velmora.exe") {
        std::string command = "\"" + BesideTestProgram(file) + "\"";
        STARTUPINFOA startup{sizeof startup};
        started_ = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                    nullptr, &startup, &process_);
    }
    ~Program() {
        if (!started_)
            return;
        if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process_.hProcess, 99);
        ::CloseHandle(process_.hThread);
        ::CloseHandle(process_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return started_; }

    // The program's main window, once it is shown.
    HWND MainWindow(int timeoutMs = 10000) {
        const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
        ::WaitForInputIdle(process_.hProcess, timeoutMs);
        while (::GetTickCount64() < deadline) {
            struct Search {
                DWORD pid;
                HWND found;
            } search{process_.dwProcessId, nullptr};
            ::EnumWindows(
                [](HWND hwnd, LPARAM param) -> BOOL {
                    auto& s = *reinterpret_cast<Search*>(param);
                    DWORD pid = 0;
                    ::GetWindowThreadProcessId(hwnd, &pid);
                    if (pid == s.pid && ::IsWindowVisible(hwnd) && WindowText(hwnd) == "Velmora") {
                        s.found = hwnd;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            if (search.found)
                return search.found;
            ::Sleep(20);
        }
        return nullptr;
    }

    // The exit code once the process has ended, or -2 when it is still running.
    long ExitCode(int timeoutMs = 10000) {
        if (::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return -2;
        DWORD code = 0;
        ::GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

HWND ChildOfClass(HWND parent, const char* className, int nth = 0) {
    HWND child = nullptr;
    for (int i = 0; i <= nth; ++i)
        child = ::FindWindowExA(parent, child, className, nullptr);
    return child;
}

void Foreground(HWND hwnd) {
    ::SetForegroundWindow(hwnd);
    PumpUntil([&] { return ::GetForegroundWindow() == hwnd; }, 2000);
}

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

// The children of a window, by class.
std::vector<HWND> ChildrenOfClass(HWND parent, const char* className) {
    std::vector<HWND> children;
    for (HWND child = nullptr; (child = ::FindWindowExA(parent, child, className, nullptr));)
        children.push_back(child);
    return children;
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

// A cell of a list in another process, read through memory of that process.
std::string RemoteCellText(HWND list, int row, int column) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                   FALSE, pid);
    if (!process)
        return "<no process>";
    constexpr SIZE_T kText = 1024;
    auto* remote = static_cast<char*>(::VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + kText,
                                                       MEM_COMMIT, PAGE_READWRITE));
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = remote + sizeof(LVITEMA);
    item.cchTextMax = kText;
    ::WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote));
    char text[kText] = {};
    ::ReadProcessMemory(process, remote + sizeof(LVITEMA), text, kText - 1, nullptr);
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return text;
}

int TemporaryCsvFiles() {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    WIN32_FIND_DATAA data{};
    HANDLE find = ::FindFirstFileA((std::string(folder) + "template*.csv").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int count = 1;
    while (::FindNextFileA(find, &data))
        ++count;
    ::FindClose(find);
    return count;
}

// The stand-in spreadsheet DLL, registered as "Excel.Application" while the object lives.
class RegisteredSpreadsheet {
public:
    RegisteredSpreadsheet() : dll_(::LoadLibraryA(BesideTestProgram("velmora_fake_spreadsheet.dll").c_str())) {
        if (auto reg = Export("DllRegisterServer"))
            registered_ = SUCCEEDED(reg());
    }
    ~RegisteredSpreadsheet() {
        if (auto unreg = Export("DllUnregisterServer"); unreg && registered_)
            unreg();
        if (dll_)
            ::FreeLibrary(dll_);
    }
    RegisteredSpreadsheet(const RegisteredSpreadsheet&) = delete;
    RegisteredSpreadsheet& operator=(const RegisteredSpreadsheet&) = delete;
    bool Registered() const { return registered_; }

private:
    using Entry = HRESULT(WINAPI*)();
    Entry Export(const char* name) const {
        return dll_ ? reinterpret_cast<Entry>(reinterpret_cast<void*>(::GetProcAddress(dll_, name)))
                    : nullptr;
    }
    HMODULE dll_;
    bool registered_ = false;
};

TEST(Program, AFetchFillsTheListThroughTheSpreadsheetApplicationAndLeavesNoFile) {
    RegisteredSpreadsheet spreadsheet;
    if (!spreadsheet.Registered())
        GTEST_SKIP() << "a spreadsheet application is registered here";
    const int filesBefore = TemporaryCsvFiles();
    Program program;
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    ::SendMessageA(ChildOfClass(main, "Button", 1), BM_CLICK, 0, 0); // returns after the fetch
    HWND list = ChildOfClass(main, "SysListView32");
    ASSERT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(RemoteCellText(list, 0, 0), "1");
    EXPECT_EQ(RemoteCellText(list, 0, 1), "游戏一");
    EXPECT_EQ(RemoteCellText(list, 0, 4), "备注;一");
    EXPECT_EQ(RemoteCellText(list, 2, 1), "第三个游戏");
    EXPECT_EQ(RemoteCellText(list, 2, 0), "3");
    EXPECT_EQ(TemporaryCsvFiles(), filesBefore);
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
