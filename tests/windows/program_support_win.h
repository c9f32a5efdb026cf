// Helpers for tests that start the real velmora.exe and look at it from outside.
#pragma once

#include "demo/remote_list_win.h"

#include <windows.h>

#include <string>
#include <vector>

namespace velmora::test {

// A started program from the test program's folder; ended by force if a test leaves it running.
class Program {
public:
    explicit Program(const char* file = "velmora.exe");
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return started_; }
    // The program's main window, once it is shown.
    HWND MainWindow(int timeoutMs = 10000);
    // The exit code once the process has ended, or -2 when it is still running.
    long ExitCode(int timeoutMs = 10000);

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

HWND ChildOfClass(HWND parent, const char* className, int nth = 0);
std::vector<HWND> ChildrenOfClass(HWND parent, const char* className);
void Foreground(HWND hwnd);

// The fetch's temporary files (template*.csv) in the temporary folder.
int TemporaryCsvFiles();

// While it lives, "Excel.Application" names nothing: sheetserver.dll is unregistered, and
// registered again when the object goes.
class SheetServerUnregistered {
public:
    SheetServerUnregistered();
    ~SheetServerUnregistered();
    SheetServerUnregistered(const SheetServerUnregistered&) = delete;
    SheetServerUnregistered& operator=(const SheetServerUnregistered&) = delete;
    bool Done() const { return done_; }

private:
    HMODULE dll_;
    bool done_ = false;
};

} // namespace velmora::test
