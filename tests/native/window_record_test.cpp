#include "app/clipboard_text.h"
#include "app/exit_routines.h"
#include "app/main_window_record.h"
#include "app/message_box.h"
#include "app/window_rules.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(WindowRules, CentresBySignedDivisionTowardZero) {
    struct Case {
        int screenWidth, screenHeight;
        Point expected;
    } const cases[] = {
        {1920, 1080, {544, 283}},
        {1024, 768, {96, 127}},
        {800, 600, {-15, 43}}, // (800 - 831) / 2 is -15.5, kept negative and cut toward zero
        {831, 514, {0, 0}},
        {830, 513, {0, 0}}, // -0.5 rounds to 0, not -1
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CentredOrigin(c.screenWidth, c.screenHeight, kMainWindowRecord.width,
                                kMainWindowRecord.height),
                  c.expected)
            << c.screenWidth << "x" << c.screenHeight;
    }
}

std::vector<Role> RolesOf(const WindowRecord& record, const std::vector<std::size_t>& order) {
    std::vector<Role> roles;
    for (std::size_t i : order)
        roles.push_back(record.components[i].role);
    return roles;
}

TEST(WindowRules, MainWindowTabOrderIsReverseRecordOrderForEqualIndices) {
    EXPECT_EQ(RolesOf(kMainWindowRecord, TabOrder(kMainWindowRecord)),
              (std::vector<Role>{Role::GameList, Role::FetchButton, Role::SearchBox,
                                 Role::SearchButton}));
}

TEST(WindowRules, TabOrderSortsByIndexAndSkipsHiddenDisabledAndNonStops) {
    const ComponentRecord components[] = {
        {.kind = ComponentKind::PushButton, .role = Role::FetchButton, .tabStop = true,
         .tabIndex = 2},
        {.kind = ComponentKind::PushButton, .role = Role::SearchButton, .tabStop = true,
         .tabIndex = 1},
        {.kind = ComponentKind::EditBox, .role = Role::SearchBox, .visible = false,
         .tabStop = true},
        {.kind = ComponentKind::Label, .role = Role::AuthorLabel, .tabStop = false},
        {.kind = ComponentKind::ReportList, .role = Role::GameList, .disabled = true,
         .tabStop = true},
        {.kind = ComponentKind::Label, .role = Role::NoticeLabel, .tabStop = true,
         .tabIndex = 1},
    };
    const WindowRecord record{.caption = "t", .components = components};
    EXPECT_EQ(RolesOf(record, TabOrder(record)),
              (std::vector<Role>{Role::NoticeLabel, Role::SearchButton, Role::FetchButton}));
}

TEST(WindowRules, NextInTabOrderWrapsBothWays) {
    const std::vector<std::size_t> order{6, 5, 4, 3};
    EXPECT_EQ(NextInTabOrder(order, 6, false), 5u);
    EXPECT_EQ(NextInTabOrder(order, 3, false), 6u);
    EXPECT_EQ(NextInTabOrder(order, 6, true), 3u);
    EXPECT_EQ(NextInTabOrder(order, 4, true), 5u);
    EXPECT_EQ(NextInTabOrder(order, 99, false), 6u); // focus outside the order
    EXPECT_EQ(NextInTabOrder(order, 99, true), 3u);
}

TEST(MainWindowRecord, BindsEveryHandlerOnceToItsEvent) {
    const auto handlerOf = [](Role role, int event) {
        return BoundHandler(*FindComponent(kMainWindowRecord, role), event);
    };
    EXPECT_EQ(handlerOf(Role::FetchButton, kEventClick), HandlerId::FetchClicked);
    EXPECT_EQ(handlerOf(Role::SearchButton, kEventClick), HandlerId::SearchClicked);
    EXPECT_EQ(handlerOf(Role::GameList, kEventRightClick), HandlerId::ListRightClick);
    EXPECT_EQ(handlerOf(Role::GameList, kEventLeftDoubleClick), HandlerId::ListDoubleClick);
    EXPECT_FALSE(handlerOf(Role::GameList, kEventClick));
    EXPECT_FALSE(handlerOf(Role::SearchBox, kEventClick));

    const ComponentRecord& menu = *FindComponent(kMainWindowRecord, Role::ContextMenu);
    EXPECT_TRUE(menu.hidden);
    ASSERT_EQ(menu.items.size(), 3u);
    EXPECT_EQ(menu.items[0].handler, HandlerId::OpenLinkSelected);
    EXPECT_EQ(menu.items[1].handler, HandlerId::CopyTitleSelected);
    EXPECT_EQ(menu.items[2].handler, HandlerId::CopyLinkSelected);
}

TEST(MainWindowRecord, TextsAreCodePage936Bytes) {
    const ComponentRecord& notice = *FindComponent(kMainWindowRecord, Role::NoticeLabel);
    EXPECT_EQ(notice.text.size(), 48u);
    EXPECT_EQ(notice.text.substr(18, 2), "\r\n");
    // "标题查找" in code page 936.
    EXPECT_EQ(FindComponent(kMainWindowRecord, Role::SearchButton)->text,
              "\xB1\xEA\xCC\xE2\xB2\xE9\xD5\xD2");
    EXPECT_EQ(kDefaultMessageTitle, "\xD0\xC5\xCF\xA2\xA3\xBA"); // "信息：", full-width colon
}

TEST(MessageBox, StyleIsTaskModalUnlessSystemModal) {
    EXPECT_EQ(MessageBoxStyle(0), 0x2000u);
    EXPECT_EQ(MessageBoxStyle(0x10), 0x2010u);
    EXPECT_EQ(MessageBoxStyle(0x1000), 0x1000u);
    EXPECT_EQ(MessageBoxStyle(0x2000), 0x2000u);
}

int g_calls[3];
void First() { ++g_calls[0]; }
void Second() { g_calls[1] = g_calls[0] * 10 + 1; }

TEST(ExitRoutines, RunOnceInOrderOfAddingAndIgnoreRepeats) {
    ExitRoutineList list;
    list.Add(First);
    list.Add(Second);
    list.Add(First);
    list.RunAll();
    EXPECT_EQ(g_calls[0], 1);
    EXPECT_EQ(g_calls[1], 11); // Second ran after First
    list.RunAll();
    EXPECT_EQ(g_calls[0], 1);
}

TEST(ExitRoutines, OnExitReleasesClipboardText) {
    ClipboardText = std::string(1000, 'x');
    OnExit();
    EXPECT_TRUE(ClipboardText.empty());
    EXPECT_EQ(ClipboardText.capacity(), std::string().capacity());
    OnExit(); // nothing held: does nothing
    EXPECT_TRUE(ClipboardText.empty());
}

} // namespace
} // namespace velmora
