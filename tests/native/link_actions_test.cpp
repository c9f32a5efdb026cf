// The link handlers and the link allow-list against fakes.
#include "actions/link_actions.h"
#include "app/clipboard_text.h"
#include "tests/native/fakes.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using Calls = std::vector<std::string>;

TEST(IsOpenableLink, AllowsOnlyWebAndDownloadSchemes) {
    struct Case {
        const char* text;
        bool openable;
    } const cases[] = {
        {"http://example.org/a", true},
        {"HTTPS://example.org/a", true},
        {"Ftp://files.example.org/", true},
        {"magnet:?xt=urn:btih:00", true},
        {"ed2k://|file|a|1|0|/", true},
        {"thunder://QUFodHRw", true},
        {"", false},
        {"C:\\Windows\\System32\\cmd.exe", false},
        {"\\\\host\\share\\x.exe", false},
        {"file:///C:/Windows/System32/calc.exe", false},
        {"ms-msdt:/id PCWDiagnostic", false},
        {"search-ms:query=x", false},
        {"javascript:alert(1)", false},
        {" http://example.org", false}, // no trimming
        {"httpx://example.org", false},
        {"example.org", false},
        {"cmd.exe /c http://x", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsOpenableLink(c.text), c.openable) << c.text;
}

struct Fixture {
    FakeList list;
    FakeDesktop desktop;
    HandlerContext context{.gameList = &list, .desktop = &desktop};
    Fixture() {
        const int row = list.InsertRow();
        list.SetCellText(row, 1, "\xD3\xCE\xCF\xB7 1"); // "游戏 1"
        list.SetCellText(row, 2, "https://example.org/g1");
        list.SetCellText(list.InsertRow(), 1, "no link");
        ClipboardText = "before";
    }
    ~Fixture() { ClipboardText.clear(); }
};

TEST(LinkActions, WithNoRowSelectedOpeningDoesNothingAndCopiesLeaveAnEmptyText) {
    Fixture t;
    OnListDoubleClick(t.context, {});
    OnOpenLinkSelected(t.context);
    EXPECT_TRUE(t.desktop.calls.empty());
    OnCopyTitleSelected(t.context);
    EXPECT_EQ(ClipboardText, "");
    OnCopyLinkSelected(t.context);
    EXPECT_EQ(t.desktop.calls, (Calls{"copy ", "copy "}));
    EXPECT_EQ(t.desktop.clipboard, "");
}

TEST(LinkActions, OpenLinkShowsTheLinkThenOpensIt) {
    Fixture t;
    t.list.selected = 0;
    OnOpenLinkSelected(t.context);
    EXPECT_EQ(t.desktop.calls, (Calls{"box \xD0\xC5\xCF\xA2\xA3\xBA|\xC1\xB4\xBD\xD3\xCE\xAA"
                                      "https://example.org/g1|0",
                                      "open https://example.org/g1"}));
}

TEST(LinkActions, ARowWithAnEmptyLinkShowsTheBoxAloneAndOpensNothing) {
    Fixture t;
    t.list.selected = 1;
    OnOpenLinkSelected(t.context);
    EXPECT_EQ(t.desktop.calls, (Calls{"box \xD0\xC5\xCF\xA2\xA3\xBA|\xC1\xB4\xBD\xD3\xCE\xAA|0"}));
    OnListDoubleClick(t.context, {});
    EXPECT_EQ(t.desktop.calls.size(), 1u);
}

TEST(LinkActions, DoubleClickOpensAtOnceWithoutABox) {
    Fixture t;
    t.list.selected = 0;
    OnListDoubleClick(t.context, {10, 20, 1});
    EXPECT_EQ(t.desktop.calls, (Calls{"open https://example.org/g1"}));
}

TEST(LinkActions, AHostileLinkIsShownButNotOpened) {
    Fixture t;
    t.list.SetCellText(0, 2, "C:\\Windows\\System32\\cmd.exe");
    t.list.selected = 0;
    OnOpenLinkSelected(t.context);
    OnListDoubleClick(t.context, {});
    ASSERT_EQ(t.desktop.calls.size(), 1u);
    EXPECT_EQ(t.desktop.calls[0].substr(0, 4), "box ");
}

TEST(LinkActions, CopyingTitleThenLinkLeavesTheLink) {
    Fixture t;
    t.list.selected = 0;
    OnCopyTitleSelected(t.context);
    EXPECT_EQ(t.desktop.clipboard, "\xD3\xCE\xCF\xB7 1");
    OnCopyLinkSelected(t.context);
    EXPECT_EQ(t.desktop.clipboard, "https://example.org/g1");
    EXPECT_EQ(ClipboardText, "https://example.org/g1");
}

TEST(LinkActions, AHeldClipboardKeepsItsContentsButClipboardTextIsReplaced) {
    Fixture t;
    t.list.selected = 0;
    t.desktop.clipboardHeld = true;
    OnCopyLinkSelected(t.context);
    EXPECT_EQ(t.desktop.clipboard, "old");
    EXPECT_EQ(ClipboardText, "https://example.org/g1");
}

TEST(LinkActions, RightClickPopsUpTheMenuWithOrWithoutASelection) {
    Fixture t;
    OnListRightClick(t.context);
    t.list.selected = 1;
    OnListRightClick(t.context);
    EXPECT_EQ(t.desktop.calls, (Calls{"popup", "popup"}));
}

} // namespace
} // namespace velmora::test
