// The program's one message loop, with the keyboard rules applied before a key reaches the
// focused control and the double-click event raised before the control sees the message.
#pragma once

#include <windows.h>

namespace velmora {

// Applies the window-level rules to a message taken from the queue. True when the message
// has been handled and must not be dispatched.
bool PreTranslateFormMessage(const MSG& msg);

// Runs until the quit message; yields its code.
int RunEventLoop();

// Handles every message that is waiting, by the same rules as the loop.
void ProcessPendingMessages();

} // namespace velmora
