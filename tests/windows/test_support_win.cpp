#include "tests/windows/test_support_win.h"

#include "app/bindings.h"
#include "app/event_loop_win.h"
#include "app/main_window_record.h"

namespace velmora::test {
namespace {

FormEnvironment& Environment() {
    static FormEnvironment environment(::GetModuleHandleA(nullptr));
    return environment;
}

void SendInputs(std::vector<INPUT> inputs) {
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT MouseInput(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

} // namespace

void MainWindowTest::SetUp() {
    ASSERT_TRUE(Environment().Ready());
    Environment().SetEventSink([this](HandlerId handler, const PointerArgs& args) {
        events_.push_back({handler, list_ ? list_->SelectedRow() : -2, probe_ ? probe_() : 0});
        if (run_)
            RunHandler(handler, *run_, args);
    });
    form_ = LoadForm(kMainWindowRecord);
    ASSERT_NE(form_, nullptr);
    hwnd_ = form_->hwnd;
    list_ = std::make_unique<GameListControl>(form_->Control(Role::GameList));
    ::SetForegroundWindow(hwnd_);
    PumpUntil([&] { return ::GetForegroundWindow() == hwnd_; }, 2000);
    PumpFor(50);
}

void MainWindowTest::TearDown() {
    if (hwnd_ && ::IsWindow(hwnd_))
        ::DestroyWindow(hwnd_);
    PumpFor(20);
    Environment().SetEventSink(nullptr);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        ProcessPendingMessages();
        if (done())
            return true;
        if (::GetTickCount64() >= deadline)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(int ms) {
    PumpUntil([] { return false; }, ms);
}

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> inputs;
    for (WORD m : modifiers)
        inputs.push_back(KeyInput(m, false));
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m)
        inputs.push_back(KeyInput(*m, true));
    SendInputs(inputs);
}

void SendClick(POINT screen, bool right) {
    // Each button event carries its position, so a cursor position that has not arrived yet
    // cannot send the click elsewhere. ceil(x * 65536 / width) maps back to x exactly.
    const LONG width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    const auto at = [&](DWORD button) {
        INPUT input = MouseInput(button | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
        input.mi.dx = static_cast<LONG>((screen.x * 65536LL + width - 1) / width);
        input.mi.dy = static_cast<LONG>((screen.y * 65536LL + height - 1) / height);
        return input;
    };
    SendInputs({at(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
                at(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)});
}

void ClickAt(POINT screen, bool right, int clicks) {
    ::SetCursorPos(screen.x, screen.y);
    PumpFor(30);
    for (int i = 0; i < clicks; ++i) {
        SendClick(screen, right);
        PumpFor(20);
    }
}

RECT ClientRectInParent(HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string WindowText(HWND hwnd) {
    const int length = ::GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(hwnd, text.data(), length + 1)));
    return text;
}

HWND WaitForWindow(const char* className, const char* caption, int timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    do {
        HWND hwnd = ::FindWindowA(className, caption);
        if (hwnd && ::IsWindowVisible(hwnd))
            return hwnd;
        ::Sleep(10);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

std::string BesideTestProgram(const char* fileName) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.rfind('\\') + 1);
    return folder + fileName;
}

} // namespace velmora::test
