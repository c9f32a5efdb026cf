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
