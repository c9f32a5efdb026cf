// The exit-routine list: routines run once, in the order they were added, when the program ends.
#pragma once

#include <vector>

namespace velmora {

using ExitRoutine = void (*)();

class ExitRoutineList {
public:
    // Adding a routine that is already in the list changes nothing.
    void Add(ExitRoutine routine);
    // Runs every routine once, in the order of adding, and empties the list.
    void RunAll();

private:
    std::vector<ExitRoutine> routines_;
};

} // namespace velmora
