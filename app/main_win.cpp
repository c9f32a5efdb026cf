// Program entry. The command line is ignored.
#include "app/program_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return velmora::RunProgram(instance);
}
