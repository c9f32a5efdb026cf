// velmora_driver: drives a running velmora.exe from outside, for the demo.
//   velmora_driver wait             waits for the main window; prints its outer rectangle
//   velmora_driver key NAME         sends a key (esc) to the main window with real input
//   velmora_driver hold SECONDS     keeps Wine's desktop alive for a test run, then ends
//   velmora_driver hold-clipboard MS  holds the clipboard open, as a busy program would
#include <windows.h>

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

void Key(WORD vk) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = vk;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
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
        Key(VK_ESCAPE);
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
    std::fprintf(stderr, "usage: velmora_driver wait | key esc | hold SECONDS\n");
    return 2;
}
