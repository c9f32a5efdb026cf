#include "tests/windows/program_support_win.h"

#include "tests/windows/test_support_win.h"

#include <commctrl.h>

namespace velmora::test {

Program::Program(const char* file) {
    std::string command = "\"" + BesideTestProgram(file) + "\"";
    STARTUPINFOA startup{sizeof startup};
    started_ = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &process_);
}

Program::~Program() {
    if (!started_)
        return;
    if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
        ::TerminateProcess(process_.hProcess, 99);
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
}

HWND Program::MainWindow(int timeoutMs) {
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

long Program::ExitCode(int timeoutMs) {
    if (::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return -2;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
}

HWND ChildOfClass(HWND parent, const char* className, int nth) {
    HWND child = nullptr;
    for (int i = 0; i <= nth; ++i)
        child = ::FindWindowExA(parent, child, className, nullptr);
    return child;
}

void Foreground(HWND hwnd) {
    ::SetForegroundWindow(hwnd);
    PumpUntil([&] { return ::GetForegroundWindow() == hwnd; }, 2000);
}

std::vector<HWND> ChildrenOfClass(HWND parent, const char* className) {
    std::vector<HWND> children;
    for (HWND child = nullptr; (child = ::FindWindowExA(parent, child, className, nullptr));)
        children.push_back(child);
    return children;
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

namespace {
using Entry = HRESULT(WINAPI*)();
Entry Export(HMODULE dll, const char* name) {
    return dll ? reinterpret_cast<Entry>(reinterpret_cast<void*>(::GetProcAddress(dll, name))) : nullptr;
}
} // namespace

SheetServerUnregistered::SheetServerUnregistered()
    : dll_(::LoadLibraryA(BesideTestProgram("sheetserver.dll").c_str())) {
    if (auto unregister = Export(dll_, "DllUnregisterServer"))
        done_ = SUCCEEDED(unregister());
}

SheetServerUnregistered::~SheetServerUnregistered() {
    if (auto reregister = Export(dll_, "DllRegisterServer"); reregister && done_)
        reregister();
    if (dll_)
        ::FreeLibrary(dll_);
}

} // namespace velmora::test
