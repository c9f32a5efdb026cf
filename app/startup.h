#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The folder of a program file: the part of its path before the last backslash, or empty.
std::string FolderOfProgram(std::string_view modulePath);

} // namespace velmora
