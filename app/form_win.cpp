#include "app/form_win.h"

#include "app/window_rules.h"
#include "ui/game_list_win.h"
#include "ui/progress_bar_win.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

namespace velmora {
namespace {

constexpr char kFormClass[] = "VelmoraForm";
constexpr int kFirstControlId = 1000;
constexpr UINT kDestroyRequest = WM_APP + 1;
constexpr UINT kFirstMenuCommand = 40000; // below the system commands of 0xF000 and up
constexpr UINT kMenuItemsPerComponent = 100;

struct Shared {
    HINSTANCE instance = nullptr;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    EventSink sink;
    int liveForms = 0;
    bool loopEntered = false;
    int environments = 0;
    ATOM classAtom = 0;
};
Shared g_shared;

HFONT GuiFont() { return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }

DWORD WindowStyle(const WindowRecord& record) {
    DWORD style = WS_OVERLAPPED | WS_CAPTION; // fixed single frame: no WS_THICKFRAME
    if (record.controlBox)
        style |= WS_SYSMENU;
    if (record.minimizeBox)
        style |= WS_MINIMIZEBOX;
    if (record.maximizeBox)
        style |= WS_MAXIMIZEBOX;
    return style;
}

DWORD CommonControlStyle(const ComponentRecord& c) {
    DWORD style = WS_CHILD;
    if (c.visible)
        style |= WS_VISIBLE;
    if (c.disabled)
        style |= WS_DISABLED;
    if (c.tabStop)
        style |= WS_TABSTOP;
    return style;
}

HWND CreateControl(Form& form, std::size_t index) {
    const ComponentRecord& c = form.record->components[index];
    const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index));
    const std::string text(c.text);
    const DWORD common = CommonControlStyle(c);
    HWND hwnd = nullptr;
    switch (c.kind) {
    case ComponentKind::Menu:
        return nullptr; // the only menu is hidden: it is popped up, never shown in a bar
    case ComponentKind::Label:
        // Drawn by the window (WM_DRAWITEM) so that colour and text layout are exactly ours.
        hwnd = ::CreateWindowExA(0, "STATIC", text.c_str(), common | SS_OWNERDRAW, c.x, c.y,
                                 c.width, c.height, form.hwnd, id, g_shared.instance, nullptr);
        break;
    case ComponentKind::PushButton:
        hwnd = ::CreateWindowExA(0, "BUTTON", text.c_str(),
                                 common | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER, c.x, c.y,
                                 c.width, c.height, form.hwnd, id, g_shared.instance, nullptr);
        break;
    case ComponentKind::EditBox:
        hwnd = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", text.c_str(),
                                 common | ES_LEFT | ES_AUTOHSCROLL, c.x, c.y, c.width, c.height,
                                 form.hwnd, id, g_shared.instance, nullptr);
        if (hwnd)
            ::SendMessageA(hwnd, EM_SETLIMITTEXT, 0, 0); // 0: the system's maximum
        break;
    case ComponentKind::ReportList:
        return CreateGameList(form.hwnd, c, common, id, g_shared.instance, GuiFont());
    case ComponentKind::ProgressBar:
        hwnd = CreateProgressBar(form.hwnd, c, common, id, g_shared.instance);
        break;
    }
    if (hwnd)
        ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
    return hwnd;
}

void DrawLabel(const Form& form, const DRAWITEMSTRUCT& item) {
    const int index = form.ComponentOf(item.hwndItem);
    if (index < 0)
        return;
    const ComponentRecord& c = form.record->components[index];
    const int length = ::GetWindowTextLengthA(item.hwndItem);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    ::GetWindowTextA(item.hwndItem, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));

    RECT rect = item.rcItem;
    ::FillRect(item.hDC, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
    const int oldMode = ::SetBkMode(item.hDC, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(item.hDC, c.textColour);
    const HGDIOBJ oldFont = ::SelectObject(item.hDC, GuiFont());
    const UINT format = c.layout == TextLayout::SingleLineCentredVertically
                            ? DT_LEFT | DT_SINGLELINE | DT_VCENTER
                            : DT_LEFT | DT_WORDBREAK;
    ::DrawTextA(item.hDC, text.c_str(), length, &rect, format);
    ::SelectObject(item.hDC, oldFont);
    ::SetTextColor(item.hDC, oldColour);
    ::SetBkMode(item.hDC, oldMode);
}

void FocusOnActivation(Form& form) {
    if (form.lastFocus && ::IsWindow(form.lastFocus) && ::IsChild(form.hwnd, form.lastFocus)) {
        ::SetFocus(form.lastFocus);
        return;
    }
    const std::vector<std::size_t> order = TabOrder(*form.record);
    if (!order.empty() && form.controls[order.front()])
        ::SetFocus(form.controls[order.front()]);
}

LRESULT OnNotify(Form& form, const NMHDR& header) {
    const int index = form.ComponentOf(header.hwndFrom);
    if (index < 0)
        return 0;
    if (header.code == NM_RCLICK)
        RaiseEvent(form, index, kEventRightClick);
    // LVN_GETINFOTIP and the other notifications: the list's own offer stands.
    return 0;
}

void RaiseMenuItem(const Form& form, UINT command) {
    if (command < kFirstMenuCommand)
        return;
    const std::size_t component = (command - kFirstMenuCommand) / kMenuItemsPerComponent;
    const std::size_t item = (command - kFirstMenuCommand) % kMenuItemsPerComponent;
    if (component >= form.record->components.size())
        return;
    const ComponentRecord& menu = form.record->components[component];
    if (menu.kind == ComponentKind::Menu && item < menu.items.size() && g_shared.sink)
        g_shared.sink(menu.items[item].handler, {});
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Only windows of the form class come here, and their user data is their Form.
    auto* form = reinterpret_cast<Form*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!form)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND: {
        if (lParam == 0 && HIWORD(wParam) == 0) {
            RaiseMenuItem(*form, LOWORD(wParam));
            return 0;
        }
        const int index = form->ComponentOf(reinterpret_cast<HWND>(lParam));
        if (index >= 0 && HIWORD(wParam) == BN_CLICKED)
            RaiseEvent(*form, index, kEventClick);
        return 0;
    }
    case WM_NOTIFY:
        return OnNotify(*form, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlType == ODT_STATIC)
            DrawLabel(*form, item);
        return TRUE;
    }
    case WM_CTLCOLOREDIT: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::IsChild(hwnd, focus))
                form->lastFocus = focus;
        }
        break;
    case WM_SETFOCUS:
        FocusOnActivation(*form);
        return 0;
    case kDestroyRequest:
        if (form->pendingDestroy)
            ::DestroyWindow(hwnd);
        return 0;
    case WM_GETMINMAXINFO: {
        // The outer size is kept exactly, even where it exceeds the screen.
        ::DefWindowProcA(hwnd, message, wParam, lParam);
        auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
        info.ptMaxTrackSize.x = std::max<LONG>(info.ptMaxTrackSize.x, form->record->width);
        info.ptMaxTrackSize.y = std::max<LONG>(info.ptMaxTrackSize.y, form->record->height);
        return 0;
    }
    case WM_SETFONT:
        form->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(form->font);
    case WM_NCDESTROY: {
        std::unique_ptr<Form> owned(form); // the window's Form goes with it
        if (form->watcher)
            *form->watcher = nullptr;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        if (--g_shared.liveForms == 0 && g_shared.loopEntered)
            ::PostQuitMessage(0);
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    default:
        break;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

HICON LoadProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(::LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON,
                                           ::GetSystemMetrics(widthMetric),
                                           ::GetSystemMetrics(heightMetric), 0));
}

} // namespace

HWND Form::Control(Role role) const {
    for (std::size_t i = 0; i < record->components.size(); ++i) {
        if (record->components[i].role == role)
            return controls[i];
    }
    return nullptr;
}

int Form::ComponentOf(HWND child) const {
    if (!child)
        return -1;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i] == child)
            return static_cast<int>(i);
    }
    return -1;
}

// Environments nest (a test may run the whole program inside its own): the first sets up
// what windows share, the last releases it.
FormEnvironment::FormEnvironment(HINSTANCE instance) {
    if (g_shared.environments++ > 0)
        return;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                        ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    g_shared.instance = instance;
    g_shared.bigIcon = LoadProgramIcon(instance, SM_CXICON, SM_CYICON);
    g_shared.smallIcon = LoadProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    g_shared.classAtom = ::RegisterClassExA(&wc);
}

FormEnvironment::~FormEnvironment() {
    if (--g_shared.environments > 0)
        return;
    if (g_shared.classAtom)
        ::UnregisterClassA(kFormClass, g_shared.instance);
    if (g_shared.bigIcon)
        ::DestroyIcon(g_shared.bigIcon);
    if (g_shared.smallIcon)
        ::DestroyIcon(g_shared.smallIcon);
    g_shared = Shared{};
}

bool FormEnvironment::Ready() const { return g_shared.classAtom != 0; }

void FormEnvironment::SetEventSink(EventSink sink) { g_shared.sink = std::move(sink); }

Form* LoadForm(const WindowRecord& record) {
    RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const Point origin = record.centred
                             ? CentredOrigin(screen.right, screen.bottom, record.width,
                                             record.height)
                             : Point{record.x, record.y};
    auto form = std::make_unique<Form>();
    form->record = &record;
    form->controls.assign(record.components.size(), nullptr);
    const std::string caption(record.caption);
    const DWORD exStyle = record.alwaysOnTop ? WS_EX_TOPMOST : 0;
    HWND hwnd = ::CreateWindowExA(exStyle, kFormClass, caption.c_str(), WindowStyle(record),
                                  origin.x, origin.y, record.width, record.height, nullptr,
                                  nullptr, g_shared.instance, nullptr);
    if (!hwnd)
        return nullptr;
    form->hwnd = hwnd;
    Form* loaded = form.release(); // owned by the window from here on; freed at WM_NCDESTROY
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(loaded));
    ++g_shared.liveForms;

    RECT outer{};
    ::GetWindowRect(hwnd, &outer);
    if (outer.right - outer.left != record.width || outer.bottom - outer.top != record.height)
        ::SetWindowPos(hwnd, nullptr, 0, 0, record.width, record.height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (record.controlBox && !record.movable)
        ::DeleteMenu(::GetSystemMenu(hwnd, FALSE), SC_MOVE, MF_BYCOMMAND);
    ::SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_shared.bigIcon));
    ::SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_shared.smallIcon));
    ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
    for (std::size_t i = 0; i < record.components.size(); ++i)
        loaded->controls[i] = CreateControl(*loaded, i);
    if (record.visible)
        ::ShowWindow(hwnd, SW_SHOW);
    return loaded;
}

Form* FormOfWindow(HWND hwnd) {
    char name[32];
    if (!hwnd || !::GetClassNameA(hwnd, name, sizeof name) || lstrcmpA(name, kFormClass) != 0)
        return nullptr;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ::GetCurrentProcessId())
        return nullptr;
    return reinterpret_cast<Form*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void RaiseEvent(const Form& form, int component, int event, const PointerArgs& args) {
    if (component < 0 || static_cast<std::size_t>(component) >= form.record->components.size())
        return;
    const auto handler = BoundHandler(form.record->components[component], event);
    if (handler && g_shared.sink)
        g_shared.sink(*handler, args);
}

UINT MenuCommandId(std::size_t component, std::size_t item) {
    return kFirstMenuCommand + static_cast<UINT>(component * kMenuItemsPerComponent + item);
}

void RequestDestroy(Form& form) {
    form.pendingDestroy = true;
    ::PostMessageA(form.hwnd, kDestroyRequest, 0, 0);
}

int LiveFormCount() { return g_shared.liveForms; }

void MarkEventLoopEntered() { g_shared.loopEntered = true; }

} // namespace velmora
