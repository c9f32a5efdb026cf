#pragma once

#include "app/form_win.h"

namespace velmora {

using FormLoader = Form* (*)(const WindowRecord&);

// The whole life of the program: start-up, the event loop and the exit sequence. Yields the
// exit code: 0 after a normal end, -1 after the fatal error report.
int RunProgram(HINSTANCE instance, FormLoader loadForm = LoadForm);

} // namespace velmora
