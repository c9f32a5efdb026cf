// Helpers of the Windows tests: a loaded MainWindow with a recording event sink, real input,
// and a message pump that applies the program's own rules.
#pragma once

#include "app/form_win.h"
#include "demo/real_input_win.h"
#include "ui/game_list_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace velmora::test {

struct RecordedEvent {
    HandlerId handler;
    int selectedRow; // SelectedRow of GameList when the event was raised
    int probed;      // what the test's probe yielded then
};

// MainWindow, loaded in this process, brought to the foreground.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND Control(Role role) const { return form_->Control(role); }
    GameListControl& List() { return *list_; }

    Form* form_ = nullptr;
    HWND hwnd_ = nullptr;
    std::unique_ptr<GameListControl> list_;
    std::vector<RecordedEvent> events_;
    std::function<int()> probe_; // asked at each event
    HandlerContext* run_ = nullptr; // when set, events also run their handlers with it
};

// Handles messages by the program's rules until `done` holds or `timeoutMs` has passed.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000);
// Handles messages for a while, for input that must be seen not to have an effect.
void PumpFor(int ms);

// Real clicks at a place, with messages handled around them (PressKey and SendClick, which
// handle none, come from demo/real_input_win.h).
void ClickAt(POINT screen, bool right = false, int clicks = 1);

// The rectangle of a child window in its parent's client coordinates.
RECT ClientRectInParent(HWND child);
std::string WindowText(HWND hwnd);
// Waits, on any thread, for a visible top-level window of the class (and caption, if given).
HWND WaitForWindow(const char* className, const char* caption, int timeoutMs = 5000);

// Path of a program beside the test program.
std::string BesideTestProgram(const char* fileName);

} // namespace velmora::test
