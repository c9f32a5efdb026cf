#include "app/program_win.h"

#include "app/bindings.h"
#include "app/clipboard_text.h"
#include "app/desktop_win.h"
#include "app/event_loop_win.h"
#include "app/exit_routines.h"
#include "app/main_window_record.h"
#include "app/message_box_win.h"
#include "app/ole_scope_win.h"
#include "app/startup.h"
#include "acquire/automation_win.h"
#include "acquire/fetch.h"
#include "acquire/files_win.h"
#include "ui/game_list_win.h"
#include "ui/progress_window_win.h"

#include <random>

namespace velmora {
namespace {

void MakeProgramFolderCurrent() {
    char path[MAX_PATH] = {};
    if (::GetModuleFileNameA(nullptr, path, MAX_PATH) == 0)
        return;
    const std::string folder = FolderOfProgram(path);
    if (!folder.empty())
        ::SetCurrentDirectoryA(folder.c_str());
}

} // namespace

int RunProgram(HINSTANCE instance, FormLoader loadForm) {
    // Declared first, so that OleUninitialize ends the exit sequence on every way out.
    OleScope ole;
    MakeProgramFolderCurrent();
    ExitRoutineList exitRoutines;
    exitRoutines.Add(OnExit);

    FormEnvironment environment(instance); // the window class and the program icon
    Form* mainWindow = environment.Ready() ? loadForm(kMainWindowRecord) : nullptr;
    if (!mainWindow) {
        ShowFatalError("主窗口无法创建，程序将退出。");
        return -1; // the exit sequence without the exit routines
    }
    GameListControl gameList(mainWindow->Control(Role::GameList));
    ProgressWindowControl progress(loadForm);
    Win32Files files;
    Win32Desktop desktop(mainWindow);
    Win32TextBox searchBox(mainWindow->Control(Role::SearchBox));
    Win32Automation automation;
    // The temporary file's number: a uniform draw, from a generator seeded once per run.
    std::mt19937 engine(std::random_device{}());
    std::uniform_int_distribution<std::int32_t> sixDigits(100000, 999999);
    const FetchPorts fetch{automation, files, progress, desktop, [&] { return sixDigits(engine); }};
    HandlerContext context{.gameList = &gameList,
                           .desktop = &desktop,
                           .searchBox = &searchBox,
                           .fetch = &fetch};
    environment.SetEventSink([&context](HandlerId handler, const PointerArgs& args) {
        RunHandler(handler, context, args);
    });

    const int code = RunEventLoop();
    environment.SetEventSink(nullptr); // the context goes with this call
    exitRoutines.RunAll();
    return code;
}

} // namespace velmora
