// What a handler is given: the ports it works through.
#pragma once

namespace velmora {

class ListPort;
class DesktopPort;
class TextBoxPort;
struct FetchPorts;

struct HandlerContext {
    ListPort* gameList = nullptr;
    DesktopPort* desktop = nullptr;
    TextBoxPort* searchBox = nullptr;
    const FetchPorts* fetch = nullptr; // automation, files and progress, for the fetch
};

// Arguments of a pointer event: client position and key state (Ctrl 1, Shift 2, Alt 4).
struct PointerArgs {
    int x = 0;
    int y = 0;
    int keys = 0;
};

} // namespace velmora
