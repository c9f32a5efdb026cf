// velmora_driver: drives a running velmora.exe from outside with real input, for the demo.
//   velmora_driver wait             waits for the main window; prints its outer rectangle
//   velmora_driver fetch SHOT.bmp   clicks FetchButton, catches the progress window into
//                                   SHOT.bmp if it can, waits for the rows; prints their count
//   velmora_driver search           enters the UTF-8 text on its input into the search box and
//                                   clicks SearchButton; prints the selected row and its name
//                                   (the text comes on the input because Wine decodes command
//                                   lines by the host's locale, which may lack UTF-8)
//   velmora_driver menu             right-clicks the selected row; waits for the context menu
//   velmora_driver key NAME         sends a key (esc) to the main window
//   velmora_driver hold SECONDS     keeps Wine's desktop alive for a test run, then ends
//   velmora_driver hold-clipboard MS  holds the clipboard open, as a busy program would
#include "demo/real_input_win.h"
#include "demo/remote_list_win.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND FindMainWindow(DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        HWND hwnd = ::FindWindowA("VelmoraForm", "Velmora");
        if (hwnd && ::IsWindowVisible(hwnd))
            return hwnd;
        ::Sleep(50);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

using velmora::PressKey;

// A child control by class, and by caption when one is given.
HWND Child(HWND main, const char* className, const char* caption = nullptr) {
    return ::FindWindowExA(main, nullptr, className, caption);
}

POINT CentreOf(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void ClickOn(POINT screen, bool right = false) {
    ::SetCursorPos(screen.x, screen.y);
    ::Sleep(30);
    velmora::SendClick(screen, right);
}

// Polls `done` every `stepMs`; a step of 0 only yields the processor in between.
template <typename Done>
bool WaitFor(Done done, DWORD timeoutMs, DWORD stepMs = 10) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!done()) {
        if (::GetTickCount64() >= deadline)
            return false;
        ::Sleep(stepMs);
    }
    return true;
}

// The whole screen as a 24-bit BMP file.
bool SaveScreen(const char* path) {
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ::GdiFlush();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u, size = stride * height;
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof file + sizeof info.bmiHeader + size), 0, 0,
                          static_cast<DWORD>(sizeof file + sizeof info.bmiHeader)};
    bool ok = false;
    if (std::FILE* out = std::fopen(path, "wb")) {
        ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
             std::fwrite(bits, size, 1, out) == 1;
        std::fclose(out);
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return ok;
}

int RowCount(HWND list) { return static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

int SelectedRow(HWND list) {
    return static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int Fetch(const char* shot) {
    HWND main = FindMainWindow(5000);
    HWND button = main ? Child(main, "Button", "云端获取列表") : nullptr;
    if (!button)
        return 1;
    ::SetForegroundWindow(main);
    ::Sleep(100);
    const ULONGLONG start = ::GetTickCount64();
    ClickOn(CentreOf(button));
    // The progress window lives for as long as the rows load: catch it while it is there.
    // The program answers no message while it fetches, so the list is asked without waiting.
    HWND list = Child(main, "SysListView32");
    bool caught = false;
    WaitFor([&] {
        HWND progress = ::FindWindowA(nullptr, "导出中……");
        if (progress && ::IsWindowVisible(progress)) {
            ::Sleep(15); // until the window's first frame has reached the screen
            caught = ::IsWindow(progress) && SaveScreen(shot);
        }
        DWORD_PTR count = 0;
        return caught || (::SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 1, &count) && count > 0);
    }, 20000, 0);
    // Rows are in once the handler has returned: the list answers and the window is gone.
    WaitFor([&] { return RowCount(list) > 0 && !::FindWindowA(nullptr, "导出中……"); }, 20000);
    ::SendMessageA(main, WM_NULL, 0, 0);
    std::printf("rows=%d ms=%llu progress=%s\n", RowCount(list), ::GetTickCount64() - start,
                caught ? "caught" : "missed");
    return RowCount(list) > 0 ? 0 : 1;
}

// UTF-8 bytes as text of the ANSI code page.
std::string FromUtf8(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                               wide.data(), static_cast<int>(wide.size()))));
    std::string ansi(wide.size() * 2, '\0');
    ansi.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                                               ansi.data(), static_cast<int>(ansi.size()), nullptr,
                                                               nullptr)));
    return ansi;
}

int Search() {
    std::string utf8;
    for (int c; (c = std::getchar()) != EOF;)
        utf8 += static_cast<char>(c);
    const std::string text = FromUtf8(utf8);
    HWND main = FindMainWindow(5000);
    HWND box = main ? Child(main, "Edit") : nullptr;
    HWND button = main ? Child(main, "Button", "标题查找") : nullptr;
    if (!box || !button)
        return 1;
    HWND list = Child(main, "SysListView32");
    ::SetForegroundWindow(main);
    ::Sleep(100);
    ClickOn(CentreOf(box));
    ::Sleep(50);
    PressKey('A', {VK_CONTROL});
    velmora::PasteText(text);
    ::Sleep(100);
    ClickOn(CentreOf(button));
    const bool selected = WaitFor([&] { return SelectedRow(list) >= 0; }, 5000);
    ::Sleep(200); // let it paint
    const int row = SelectedRow(list);
    std::printf("row=%d name=%s\n", row, selected ? velmora::RemoteCellText(list, row, 1).c_str() : "");
    return selected ? 0 : 1;
}

int Menu() {
    HWND main = FindMainWindow(5000);
    HWND list = main ? Child(main, "SysListView32") : nullptr;
    const int row = list ? SelectedRow(list) : -1;
    if (row < 0)
        return 1;
    RECT rect = velmora::RemoteRowRect(list, row);
    POINT point{rect.left + 60, (rect.top + rect.bottom) / 2};
    ::ClientToScreen(list, &point);
    ClickOn(point, true);
    if (!WaitFor([] { HWND m = ::FindWindowA("#32768", nullptr); return m && ::IsWindowVisible(m); }, 5000))
        return 1;
    ::Sleep(200); // let it paint
    std::printf("menu\n");
    return 0;
}

int Wait() {
    HWND hwnd = FindMainWindow(20000);
    if (!hwnd) {
        std::fprintf(stderr, "the main window did not appear\n");
        return 1;
    }
    ::Sleep(300); // let it paint
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return 0;
}

int SendKey(const char* name) {
    HWND hwnd = FindMainWindow(5000);
    if (!hwnd)
        return 1;
    ::SetForegroundWindow(hwnd);
    ::Sleep(100);
    if (std::strcmp(name, "esc") == 0)
        PressKey(VK_ESCAPE);
    else
        return 2;
    return 0;
}

// Wine's desktop process lives while some window does. Started with its output on a file of
// its own, it then does not hold the test runner's pipe, as it would when each test program
// started it anew.
int Hold(const char* seconds) {
    HWND hwnd = ::CreateWindowExA(0, "STATIC", "velmora-hold", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, nullptr, nullptr);
    const ULONGLONG deadline = ::GetTickCount64() + std::strtoull(seconds, nullptr, 10) * 1000;
    MSG msg{};
    while (::GetTickCount64() < deadline) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return 0;
            ::DispatchMessageA(&msg);
        }
    }
    ::DestroyWindow(hwnd);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "wait") == 0)
        return Wait();
    if (argc >= 3 && std::strcmp(argv[1], "key") == 0)
        return SendKey(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "fetch") == 0)
        return Fetch(argv[2]);
    if (argc >= 2 && std::strcmp(argv[1], "search") == 0)
        return Search();
    if (argc >= 2 && std::strcmp(argv[1], "menu") == 0)
        return Menu();
    if (argc >= 3 && std::strcmp(argv[1], "hold-clipboard") == 0) {
        // With a window of its own, as a program holding the clipboard has: Wine lets two
        // openers without a window share it.
        HWND owner = ::CreateWindowExA(0, "STATIC", "velmora-clipboard", WS_POPUP, 0, 0, 1, 1,
                                       nullptr, nullptr, nullptr, nullptr);
        int tries = 0;
        while (!::OpenClipboard(owner)) {
            if (++tries > 500)
                return 1;
            ::Sleep(2);
        }
        std::printf("held\n");
        std::fflush(stdout);
        ::Sleep(static_cast<DWORD>(std::atoi(argv[2])));
        ::CloseClipboard();
        ::DestroyWindow(owner);
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "hold") == 0)
        return Hold(argv[2]);
    std::fprintf(stderr, "usage: velmora_driver wait | fetch SHOT.bmp | search | menu | key esc | "
                         "hold SECONDS | hold-clipboard MS\n");
    return 2;
}
