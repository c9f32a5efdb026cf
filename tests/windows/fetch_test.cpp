// The whole fetch through the real automation client, files, list and progress window, with
// an in-process stand-in for the spreadsheet application.
#include "tests/windows/test_support_win.h"

#include "acquire/automation_win.h"
#include "acquire/fetch.h"
#include "acquire/files_win.h"
#include "app/desktop_win.h"
#include "tests/windows/testserver/fake_spreadsheet_win.h"
#include "ui/progress_window_win.h"

#include <objbase.h>

#include <fstream>

namespace velmora::test {
namespace {

std::string TempFolder() {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return folder;
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class Fetch : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
        registration_ = std::make_unique<FakeSpreadsheetRegistration>();
        ASSERT_TRUE(registration_->Active());
        FakeSpreadsheetLog() = {};
        std::string csv;
        for (int i = 1; i <= 15; ++i)
            csv += "header " + std::to_string(i) + ",,,\r\n";
        FakeSpreadsheetLog().csv = csv + "游戏;一,http://x/1,CODE,备注\r\nGame Two,magnet:?xt=2,,\r\n";
        desktop_ = std::make_unique<Win32Desktop>(form_);
        ports_ = std::make_unique<FetchPorts>(FetchPorts{
            automation_, files_, progress_, *desktop_, [this] {
                const std::int32_t n = draws_.front();
                if (draws_.size() > 1)
                    draws_.erase(draws_.begin());
                return n;
            }});
        context_ = {.gameList = list_.get(), .fetch = ports_.get()};
    }
    void TearDown() override {
        registration_.reset();
        ::CoUninitialize();
        MainWindowTest::TearDown();
    }

    std::vector<std::int32_t> draws_{314159};
    Win32Automation automation_;
    Win32Files files_;
    ProgressWindowControl progress_;
    std::unique_ptr<Win32Desktop> desktop_;
    std::unique_ptr<FetchPorts> ports_;
    HandlerContext context_;
    std::unique_ptr<FakeSpreadsheetRegistration> registration_;
};

TEST_F(Fetch, AClickFillsTheListFromTheConvertedWorkbookAndDeletesTheFile) {
    const std::string csv = TempFolder() + "template314159.csv";
    OnFetchClicked(context_);
    const std::vector<std::string> expected{
        "DisplayAlerts false",
        "Open http://127.0.0.1:8650/650.xlsx",
        "Item 1",
        "Activate",
        "Replace \\n|",
        "Replace \\r|",
        "Replace ,|;",
        "SaveAs " + csv + "|6",
        "Close",
        "Quit",
    };
    EXPECT_EQ(FakeSpreadsheetLog().calls, expected);
    ASSERT_EQ(List().RowCount(), 2);
    EXPECT_EQ(List().GetCellText(0, 0), "1");
    EXPECT_EQ(List().GetCellText(0, 1), "游戏;一");
    EXPECT_EQ(List().GetCellText(1, 2), "magnet:?xt=2");
    EXPECT_FALSE(Exists(csv)) << "the temporary file is deleted";
    EXPECT_EQ(FakeSpreadsheetLog().liveObjects, 0) << "every object the server gave is released";
    EXPECT_TRUE(::GetWindowLongPtrA(Control(Role::GameList), GWL_STYLE) & WS_VISIBLE); // redraw on
    EXPECT_NE(progress_.Window(), nullptr); // shown, and going once the loop runs
    PumpFor(50);
    EXPECT_EQ(progress_.Window(), nullptr);
}

TEST_F(Fetch, AWorkbookThatCannotBeOpenedLeavesTheListEmptyAndStillQuits) {
    FakeSpreadsheetLog().failOpen = true;
    List().SetCellText(List().InsertRow(), 1, "old");
    OnFetchClicked(context_);
    const std::vector<std::string> expected{
        "DisplayAlerts false", "Open http://127.0.0.1:8650/650.xlsx",
        "Replace \\n|",        "Replace \\r|",
        "Replace ,|;",         "Quit",
    };
    EXPECT_EQ(FakeSpreadsheetLog().calls, expected);
    EXPECT_EQ(List().RowCount(), 0);
    EXPECT_EQ(progress_.Window(), nullptr); // the loader found no file
    EXPECT_EQ(FakeSpreadsheetLog().liveObjects, 0);
    EXPECT_EQ(::FindWindowA("#32770", nullptr), nullptr);
}

TEST_F(Fetch, AFileLeftUnderTheDrawnNameIsNeverRead) {
    const std::string stale = TempFolder() + "template111111.csv";
    std::ofstream(stale, std::ios::binary) << FakeSpreadsheetLog().csv;
    draws_ = {111111, 222222};
    FakeSpreadsheetLog().failOpen = true;
    OnFetchClicked(context_);
    EXPECT_EQ(List().RowCount(), 0);
    EXPECT_TRUE(Exists(stale)) << "not this fetch's file: left alone";
    ::DeleteFileA(stale.c_str());
}

} // namespace
} // namespace velmora::test
