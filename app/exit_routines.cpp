#include "app/exit_routines.h"

#include <algorithm>

namespace velmora {

void ExitRoutineList::Add(ExitRoutine routine) {
    if (std::find(routines_.begin(), routines_.end(), routine) == routines_.end())
        routines_.push_back(routine);
}

void ExitRoutineList::RunAll() {
    std::vector<ExitRoutine> routines;
    routines.swap(routines_);
    for (ExitRoutine routine : routines)
        routine();
}

} // namespace velmora
