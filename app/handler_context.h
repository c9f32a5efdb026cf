// What a handler is given: the ports it works through.
#pragma once

namespace velmora {

class ListPort;
class DesktopPort;
class FilesPort;
class ProgressPort;
class TextBoxPort;
struct FetchPorts;

struct HandlerContext {
    ListPort* gameList = nullptr;
    ProgressPort* progress = nullptr;
    FilesPort* files = nullptr;
    DesktopPort* desktop = nullptr;
    TextBoxPort* searchBox = nullptr;
    const FetchPorts* fetch = nullptr;
};

// Arguments of a pointer event: client position and key state (Ctrl 1, Shift 2, Alt 4).
struct PointerArgs {
    int x = 0;
    int y = 0;
    int keys = 0;
};

} // namespace velmora
