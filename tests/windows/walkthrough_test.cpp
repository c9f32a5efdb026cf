// The main job, end to end, against the real program with real input: fetch the sample
// catalogue from a web server on 127.0.0.1:8650, search it, copy a link through the context
// menu, and end with Esc.
#include "tests/windows/program_support_win.h"
#include "tests/windows/test_support_win.h"
#include "tests/windows/testserver/http_server_win.h"

#include <commctrl.h>

namespace velmora::test {
namespace {

std::string ClipboardBytes() {
    std::string text;
    if (!::OpenClipboard(nullptr))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(::GlobalLock(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

void ClickOn(HWND control, bool right = false) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, right);
}

TEST(Walkthrough, FetchSearchCopyALinkAndLeaveWithEsc) {
    HttpServer server(8650);
    ASSERT_TRUE(server.Listening());
    server.Serve("/650.xlsx", {200, FixtureBytes("sample.xlsx")});
    const int filesBefore = TemporaryCsvFiles();
    Program program;
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    HWND list = ChildOfClass(main, "SysListView32");
    HWND box = ChildOfClass(main, "Edit");
    HWND fetch = ::FindWindowExA(main, nullptr, "Button", "云端获取列表");
    HWND search = ::FindWindowExA(main, nullptr, "Button", "标题查找");
    ASSERT_TRUE(list && box && fetch && search);
    Foreground(main);

    ClickOn(fetch);
    // The program answers nothing while it fetches; ask until it does.
    ASSERT_TRUE(PumpUntil([&] {
        DWORD_PTR count = 0;
        return ::SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 50, &count) && count == 650;
    }, 20000));
    EXPECT_EQ(RemoteRowTexts(list, 0, 5), (std::vector<std::string>{"1", "天天影空战",
                                                            "https://dl.velmora-example.test/s/783ad46ecf13?pwd=7035",
                                                            "FA392-DB5FC-95C0A", "修复版 v1.2"}));
    EXPECT_EQ(RemoteRowTexts(list, 649, 5),
              (std::vector<std::string>{"650", "王王",
                                        "magnet:?xt=urn:btih:e9c27e5ab289f06232e004b2b3a7858d5c32b23e&dn=game649",
                                        "44FFA-2EE22-F0028", "含全部DLC"}));

    ClickOn(box);
    PressKey('A', {VK_CONTROL});
    ASSERT_TRUE(PasteText("龙城"));
    PumpFor(50);
    ClickOn(search);
    const auto selected = [&] {
        return static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    };
    ASSERT_TRUE(PumpUntil([&] { return selected() == 560; }));
    EXPECT_EQ(RemoteCellText(list, 560, 1), "冒光龙城星空");
    GUITHREADINFO info{sizeof info};
    EXPECT_TRUE(PumpUntil([&] {
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &info) && info.hwndFocus == list;
    }));

    const RECT row = RemoteRowRect(list, 560);
    POINT point{row.left + 60, (row.top + row.bottom) / 2};
    ::ClientToScreen(list, &point);
    ClickAt(point, true);
    ASSERT_NE(WaitForWindow("#32768", nullptr), nullptr);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN); // 复制链接
    const std::string link = RemoteCellText(list, 560, 2);
    EXPECT_TRUE(link.starts_with("magnet:") || link.starts_with("https://"));
    EXPECT_TRUE(PumpUntil([&] { return ClipboardBytes() == link; }));

    PressKey(VK_ESCAPE);
    EXPECT_EQ(program.ExitCode(), 0);
    EXPECT_EQ(TemporaryCsvFiles(), filesBefore);
}

} // namespace
} // namespace velmora::test
