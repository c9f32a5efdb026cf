// The progress window as the loader drives it.
#pragma once

#include <cstdint>

namespace velmora {

class ProgressPort {
public:
    // Shows the window (or activates the one that is shown); false if it cannot be created.
    virtual bool ShowProgressWindow() = 0;
    virtual void SetProgressMaximum(std::int32_t value) = 0;
    virtual void SetProgressPosition(std::int32_t value) = 0;
    // Asks for the window's destruction, which happens once the running handler has returned.
    virtual void DestroyProgressWindow() = 0;

protected:
    ~ProgressPort() = default;
};

} // namespace velmora
