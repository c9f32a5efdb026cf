// Windows built from window records: creation by the window rules, the window procedure and
// the lookup from a window handle back to its record.
#pragma once

#include "app/handler_context.h"
#include "app/window_record.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace velmora {

// A loaded window. It belongs to its window and is freed when the window is destroyed.
struct Form {
    const WindowRecord* record = nullptr;
    HWND hwnd = nullptr;
    std::vector<HWND> controls; // parallel to record->components; null for menus
    HWND lastFocus = nullptr;   // the control that had the focus at the last deactivation
    HFONT font = nullptr;       // the window's own font; a stock object, never freed
    bool pendingDestroy = false; // a destroy request is on its way
    Form** watcher = nullptr;    // set to null when the window is destroyed

    HWND Control(Role role) const;
    // Index of the component whose window is exactly `hwnd`, or -1.
    int ComponentOf(HWND hwnd) const;
};

// Receives every bound event; the program runs the binding table, tests record.
using EventSink = std::function<void(HandlerId, const PointerArgs&)>;

// What loaded windows share for the life of the program: the class, the icon and the sink.
class FormEnvironment {
public:
    explicit FormEnvironment(HINSTANCE instance);
    ~FormEnvironment();
    FormEnvironment(const FormEnvironment&) = delete;
    FormEnvironment& operator=(const FormEnvironment&) = delete;

    bool Ready() const;
    void SetEventSink(EventSink sink);
};

// Loads a window by the window rules. Null when it cannot be created.
Form* LoadForm(const WindowRecord& record);

// The Form of a top-level window of the program, or null for any other window.
Form* FormOfWindow(HWND hwnd);

// Raises a bound event of a component: runs the bound handler, if any, through the sink.
void RaiseEvent(const Form& form, int component, int event, const PointerArgs& args = {});

// The command number of item `item` of the menu that is component `component` of a record.
// A chosen popup item comes back to the window as WM_COMMAND with this number, and the window
// raises the item's handler.
UINT MenuCommandId(std::size_t component, std::size_t item);

// Marks the window and posts a request to destroy it. The event loop handles the request when
// it next runs, before any input that is waiting; a request for a window that no longer exists,
// or that is no longer marked, is dropped.
void RequestDestroy(Form& form);

// Number of windows of the program that exist.
int LiveFormCount();

// From now on, the destruction of the last window posts the quit message.
void MarkEventLoopEntered();

} // namespace velmora
