// ProgressWindow and its bar, and the loader with the real list, bar and files.
#include "tests/windows/test_support_win.h"

#include "acquire/csv_loader.h"
#include "acquire/files_win.h"
#include "ui/progress_bar_win.h"
#include "ui/progress_rules.h"
#include "ui/progress_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <fstream>

namespace velmora::test {
namespace {

class ProgressWindow : public MainWindowTest {
protected:
    void TearDown() override {
        if (HWND window = progress_.Window())
            ::DestroyWindow(window);
        MainWindowTest::TearDown();
    }

    std::int32_t Maximum() const {
        return static_cast<std::int32_t>(::SendMessageA(progress_.Bar(), PBM_GETRANGE, FALSE, 0));
    }
    std::int32_t Position() const {
        return static_cast<std::int32_t>(::SendMessageA(progress_.Bar(), PBM_GETPOS, 0, 0));
    }

    ProgressWindowControl progress_;
};

// Highlighted pixels along the middle row of the bar, read from the screen.
int FilledPixels(HWND bar) {
    RECT client{};
    ::GetClientRect(bar, &client);
    HDC dc = ::GetDC(bar);
    int filled = 0;
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    for (int x = 0; x < client.right; ++x)
        filled += ::GetPixel(dc, x, client.bottom / 2) == highlight;
    ::ReleaseDC(bar, dc);
    return filled;
}

// The bar's columns that the window's client area shows: the record places the bar 632 pixels
// wide at x = 8 in a window whose client area is narrower, so its right end is cut off.
int VisibleColumns(HWND bar) {
    RECT parent{};
    ::GetClientRect(::GetParent(bar), &parent);
    ::MapWindowPoints(::GetParent(bar), bar, reinterpret_cast<POINT*>(&parent), 2);
    RECT client{};
    ::GetClientRect(bar, &client);
    return std::min(client.right, parent.right) - std::max(0L, parent.left);
}

int BarWidth(HWND bar) {
    RECT client{};
    ::GetClientRect(bar, &client);
    return client.right;
}

TEST_F(ProgressWindow, IsBuiltFromItsRecord) {
    ASSERT_TRUE(progress_.ShowProgressWindow());
    HWND window = progress_.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(::GetForegroundWindow(), window);
    RECT outer{};
    ::GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, (1920 - 644) / 2);
    EXPECT_EQ(outer.top, (1080 - 61) / 2);
    EXPECT_EQ(outer.right - outer.left, 644);
    EXPECT_EQ(outer.bottom - outer.top, 61);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE));
    EXPECT_EQ(style & WS_CAPTION, DWORD{WS_CAPTION});
    EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX), 0u);
    EXPECT_EQ(WindowText(window), "导出中……");
    EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);
    EXPECT_EQ(::GetSystemMenu(window, FALSE), nullptr);

    HWND bar = progress_.Bar();
    char className[64] = {};
    ::GetClassNameA(bar, className, sizeof className);
    EXPECT_STREQ(className, "msctls_progress32");
    const RECT place = ClientRectInParent(bar);
    const RECT expected{8, 8, 640, 32};
    EXPECT_TRUE(::EqualRect(&place, &expected));
    EXPECT_TRUE(::GetWindowLongPtrA(bar, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_FALSE(::GetWindowLongPtrA(bar, GWL_STYLE) & (WS_TABSTOP | PBS_VERTICAL));
    EXPECT_EQ(::SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(Maximum(), 100);
    EXPECT_EQ(Position(), 0);
}

TEST_F(ProgressWindow, TheBarShowsTheFractionAtOnceAfterEveryOperation) {
    ASSERT_TRUE(progress_.ShowProgressWindow());
    HWND bar = progress_.Bar();
    const int width = BarWidth(bar);
    struct Step {
        bool maximum; // else position
        std::int32_t value;
        std::int32_t expectedMaximum, expectedPosition;
    } const steps[] = {
        {true, 100000, 100000, 0},
        {false, 50000, 100000, 50000},
        {false, 100000, 100000, 100000},
        {false, 250000, 100000, 100000}, // above the maximum: a full bar
        {false, -5, 100000, 0},          // negative counts as 0
        {false, 33333, 100000, 33333},
        {true, -3, 0, 0},                // a maximum of 0: nothing filled
        {false, 7, 0, 0},
        {true, 5000000, 5000000, 7},     // the stored position comes back into range
        {false, 2500000, 5000000, 2500000},
        {false, 4999999, 5000000, 4999999},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::to_string(step.value));
        if (step.maximum)
            progress_.SetProgressMaximum(step.value);
        else
            progress_.SetProgressPosition(step.value);
        // No message is handled before the screen is read.
        EXPECT_EQ(Maximum(), step.expectedMaximum);
        EXPECT_EQ(Position(), step.expectedPosition);
        EXPECT_EQ(FilledPixels(bar),
                  std::min(VisibleColumns(bar),
                           FilledWidth(width, 0, step.expectedMaximum, step.expectedPosition)));
    }
}

TEST_F(ProgressWindow, RepaintsOnlyWhenTheFilledWidthChanges) {
    ASSERT_TRUE(progress_.ShowProgressWindow());
    HWND bar = progress_.Bar();
    const int before = ProgressBarPaintCount(bar);
    progress_.SetProgressMaximum(1000000);
    for (std::int32_t position = 0; position <= 1000000; position += 97)
        progress_.SetProgressPosition(position);
    const int paints = ProgressBarPaintCount(bar) - before;
    EXPECT_LE(paints, BarWidth(bar) + 1);
    EXPECT_GE(paints, BarWidth(bar) - 1);
    EXPECT_EQ(FilledPixels(bar),
              std::min(VisibleColumns(bar), FilledWidth(BarWidth(bar), 0, 1000000, 999995)));
}

TEST_F(ProgressWindow, ShowingTwiceKeepsTheOneWindowAndItsBar) {
    ASSERT_TRUE(progress_.ShowProgressWindow());
    HWND first = progress_.Window();
    progress_.SetProgressMaximum(500);
    progress_.SetProgressPosition(123);
    ::SetForegroundWindow(hwnd_);
    ASSERT_TRUE(progress_.ShowProgressWindow());
    EXPECT_EQ(progress_.Window(), first);
    EXPECT_EQ(::GetForegroundWindow(), first);
    EXPECT_EQ(Maximum(), 500);
    EXPECT_EQ(Position(), 123);
}

TEST_F(ProgressWindow, DestroyThenShowInOneHandlerGivesAFreshWindow) {
    ASSERT_TRUE(progress_.ShowProgressWindow());
    HWND old = progress_.Window();
    progress_.SetProgressMaximum(500);
    progress_.SetProgressPosition(400);
    progress_.DestroyProgressWindow();
    ASSERT_TRUE(progress_.ShowProgressWindow());
    EXPECT_FALSE(::IsWindow(old));
    HWND fresh = progress_.Window();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(Maximum(), 100);
    EXPECT_EQ(Position(), 0);
    PumpFor(100); // the old request is dropped
    EXPECT_TRUE(::IsWindow(fresh));
}

TEST_F(ProgressWindow, GoesAfterTheHandlerReturnsBeforeInputQueuedMeanwhile) {
    // A click on SearchButton arrives while the "handler" below still holds the thread.
    HWND window = nullptr;
    probe_ = [&] { return ::IsWindow(window) ? 1 : 0; };
    ::SetFocus(Control(Role::FetchButton));
    RECT button{};
    ::GetWindowRect(Control(Role::SearchButton), &button);
    ::SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    PumpFor(50);
    ASSERT_TRUE(progress_.ShowProgressWindow());
    window = progress_.Window();
    SendClick({(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    ::Sleep(200);
    progress_.DestroyProgressWindow();
    EXPECT_TRUE(::IsWindowVisible(window)); // still shown until the loop runs

    events_.clear();
    ASSERT_TRUE(PumpUntil([&] { return !events_.empty(); }));
    EXPECT_EQ(events_[0].handler, HandlerId::SearchClicked);
    EXPECT_EQ(events_[0].probed, 0) << "the window was still there when the click was handled";
}

TEST_F(ProgressWindow, WhenItGoesTheFocusReturnsToTheControlThatHadIt) {
    ::SetFocus(Control(Role::FetchButton));
    ASSERT_TRUE(progress_.ShowProgressWindow());
    EXPECT_NE(::GetFocus(), Control(Role::FetchButton));
    progress_.DestroyProgressWindow();
    EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == Control(Role::FetchButton); }));
}

TEST_F(ProgressWindow, EscClosesIt) {
    ASSERT_TRUE(progress_.ShowProgressWindow());
    HWND window = progress_.Window();
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(window); }));
    EXPECT_TRUE(::IsWindow(hwnd_));
}

// A temporary file of the test, deleted at the end.
class TempFile {
public:
    explicit TempFile(const std::string& bytes) {
        char folder[MAX_PATH] = {}, name[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, folder);
        ::GetTempFileNameA(folder, "vtl", 0, name);
        path_ = name;
        std::ofstream(path_, std::ios::binary) << bytes;
    }
    ~TempFile() { ::DeleteFileA(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

std::string Catalogue(int rows) {
    std::string text;
    for (int i = 1; i <= 15; ++i)
        text += "header,line " + std::to_string(i) + "\r\n";
    for (int i = 0; i < rows; ++i)
        text += "游戏" + std::to_string(i) + ",http://127.0.0.1/" + std::to_string(i) +
                ",CODE,备注\r\n";
    return text;
}

constexpr std::int32_t kColumnMap[] = {1, 2, 3, 4};

TEST_F(ProgressWindow, TheLoaderFillsTheRealListAndClosesTheFile) {
    const std::string bytes = Catalogue(300);
    TempFile file(bytes);
    Win32Files files;
    EXPECT_EQ(files.FileSize(file.Path()), static_cast<std::int32_t>(bytes.size()));
    EXPECT_EQ(files.FileSize(file.Path() + ".missing"), -1);
    List().SetRedraw(false);
    LoadCsvRows({List(), progress_, files}, file.Path(), 16, kColumnMap);
    List().SetRedraw(true);
    ASSERT_EQ(List().RowCount(), 300);
    EXPECT_EQ(List().GetCellText(0, 0), "1");
    EXPECT_EQ(List().GetCellText(0, 1), "游戏0");
    EXPECT_EQ(List().GetCellText(299, 0), "300");
    EXPECT_EQ(List().GetCellText(299, 2), "http://127.0.0.1/299");
    EXPECT_EQ(List().GetCellText(299, 4), "备注");
    EXPECT_TRUE(::DeleteFileA(file.Path().c_str())) << "the loader left the file open";
    ASSERT_NE(progress_.Window(), nullptr); // asked to go, still shown
    EXPECT_EQ(Maximum(), static_cast<std::int32_t>(bytes.size()));
    PumpFor(50);
    EXPECT_EQ(progress_.Window(), nullptr);
}

TEST_F(ProgressWindow, AWindowThatCannotBeCreatedDoesNotStopTheLoad) {
    ProgressWindowControl failing([](const WindowRecord&) -> Form* { return nullptr; });
    EXPECT_FALSE(failing.ShowProgressWindow());
    failing.SetProgressMaximum(10);
    failing.SetProgressPosition(5);
    failing.DestroyProgressWindow();

    TempFile file(Catalogue(20));
    Win32Files files;
    LoadCsvRows({List(), failing, files}, file.Path(), 16, kColumnMap);
    EXPECT_EQ(List().RowCount(), 20);
    EXPECT_EQ(failing.Window(), nullptr);
    EXPECT_TRUE(::IsWindow(hwnd_));
}

TEST_F(ProgressWindow, TheFileStaysReadableWhileAnotherProgramWritesIt) {
    TempFile file(Catalogue(5));
    HANDLE writer = ::CreateFileA(file.Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    Win32Files files;
    LoadCsvRows({List(), progress_, files}, file.Path(), 16, kColumnMap);
    ::CloseHandle(writer);
    EXPECT_EQ(List().RowCount(), 5);
}

} // namespace
} // namespace velmora::test
