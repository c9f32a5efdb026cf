// The title search against a fake list.
#include "actions/search.h"
#include "tests/native/fakes.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

TEST(ContainsText, MatchesBytesAtCharacterStartsOnly) {
    struct Case {
        std::string text, searched;
        bool contains;
    } const cases[] = {
        {"alphabet", "alp", true},
        {"alphabet", "bet", true},
        {"alphabet", "ALP", false}, // no case folding
        {"alpha", "alphabet", false},
        {"", "", false},
        {"x", "", true},
        {"", "a", false},
        {"\x81\x61", "a", false},      // 0x61 is the second byte of the pair
        {"\x81\x61" "a", "a", true},   // the letter after the pair matches
        {"\xD3\xCE\xCF\xB7", "\xCF\xB7", true},
        {"\xD3\xCE\xCF\xB7", "\xCE\xCF", false}, // would straddle two characters
        {"ａ", "a", false},             // no width folding
    };
    for (const Case& c : cases)
        EXPECT_EQ(ContainsText(c.text, c.searched), c.contains) << c.text << " / " << c.searched;
}

struct SearchFixture {
    FakeList list;
    FakeTextBox box;
    HandlerContext context{.gameList = &list, .searchBox = &box};

    explicit SearchFixture(std::vector<std::string> names) {
        for (auto& name : names) {
            list.SetCellText(list.InsertRow(), 1, name);
        }
    }
    int Click(const std::string& text) {
        box.text = text;
        OnSearchClicked(context);
        return list.selected;
    }
};

TEST(OnSearchClicked, StepsThroughMatchesAndWraps) {
    SearchFixture t({"alpha", "beta", "alphabet"});
    t.list.selected = 0;
    EXPECT_EQ(t.Click("alp"), 2);
    EXPECT_EQ(t.Click("alp"), 0); // second pass from the top
    EXPECT_EQ(t.Click("alp"), 2);
    EXPECT_EQ(t.list.focusCalls, 3);
    EXPECT_EQ(t.list.ensureVisibleRow, 2);
}

TEST(OnSearchClicked, NoMatchChangesNothing) {
    for (const char* text : {"ALP", "alphabetical", "gamma"}) {
        SearchFixture t({"alpha", "beta", "alphabet"});
        t.list.selected = 1;
        EXPECT_EQ(t.Click(text), 1) << text;
        EXPECT_EQ(t.list.focusCalls, 0);
        EXPECT_EQ(t.list.ensureVisibleRow, -2); // never called
    }
    SearchFixture empty({});
    EXPECT_EQ(empty.Click("a"), -1);
    EXPECT_EQ(empty.list.focusCalls, 0);
}

TEST(OnSearchClicked, StartsAtTheTopWithoutASelectionAndWrapsAfterTheLastRow) {
    SearchFixture t({"beta", "alpha", "alphabet"});
    EXPECT_EQ(t.Click("alp"), 1);
    t.list.selected = 2;
    EXPECT_EQ(t.Click("alp"), 1);
}

TEST(OnSearchClicked, TheOnlyMatchingSelectedRowIsFoundAgain) {
    SearchFixture t({"beta", "alpha", "gamma"});
    t.list.selected = 1;
    EXPECT_EQ(t.Click("alp"), 1);
    EXPECT_EQ(t.list.focusCalls, 1);
    EXPECT_EQ(t.list.ensureVisibleRow, 1);
}

TEST(OnSearchClicked, AnEmptySearchTextSkipsRowsWithoutAName) {
    SearchFixture t({"a", "", "", "d"});
    t.list.selected = 0;
    EXPECT_EQ(t.Click(""), 3);
    EXPECT_EQ(t.Click(""), 0);
}

TEST(OnSearchClicked, DoesNotMatchOnASecondByte) {
    SearchFixture t({"\x81\x61", "\x81\x61" "a"});
    EXPECT_EQ(t.Click("a"), 1);
}

} // namespace
} // namespace velmora::test
