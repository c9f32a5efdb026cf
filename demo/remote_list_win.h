// Reading a list view that belongs to another process, through that process's memory: for the
// demo's driver and the tests that look at the running program from outside.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace velmora {

// The text of a cell, or "<no process>" when the process cannot be opened.
std::string RemoteCellText(HWND list, int row, int column);

// The texts of a row's first `columns` cells.
std::vector<std::string> RemoteRowTexts(HWND list, int row, int columns);

// The rectangle of a row in the list's client coordinates; empty when it cannot be read.
RECT RemoteRowRect(HWND list, int row);

} // namespace velmora
