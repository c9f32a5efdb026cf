// The fetch against a recording automation fake: the exact sequence, its three ways out, a
// workbook that cannot be opened, and the temporary file's name.
#include "acquire/fetch.h"
#include "app/clipboard_text.h"
#include "tests/native/fakes.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace velmora::test {
namespace {

using Log = std::vector<std::string>;

std::string Show(const AutomationValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        std::string shown = "s:";
        for (char c : *text)
            shown += c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
        return shown;
    }
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return "i:" + std::to_string(*number);
    return std::string("b:") + (std::get<bool>(value) ? "1" : "0");
}

std::string Show(const AutomationArgs& args) {
    std::string shown;
    for (const auto& arg : args)
        shown += (shown.empty() ? "" : ",") + Show(arg);
    return shown;
}

// Hands out numbered objects and logs every call. "SaveAs" writes `csv` at the given path.
class RecordingAutomation final : public AutomationPort {
public:
    Log log;
    std::set<Handle> live;
    bool failCreate = false;
    bool failOpen = false;
    bool failInitialize = false;
    int initialised = 0, uninitialised = 0;
    MemoryFiles* files = nullptr;
    std::string csv;

    bool Initialize() override {
        ++initialised;
        log.push_back("init");
        return !failInitialize;
    }
    void Uninitialize() override {
        ++uninitialised;
        log.push_back("uninit");
    }
    Handle CreateObject(std::string_view progId) override {
        log.push_back("create " + std::string(progId));
        return failCreate ? 0 : New();
    }
    Handle GetObjectProperty(Handle object, std::string_view member,
                             const AutomationArgs& args) override {
        const Handle result = New();
        log.push_back(Call("get", object, member, args) + " -> " + std::to_string(result));
        return result;
    }
    bool PutProperty(Handle object, std::string_view member,
                     const AutomationValue& value) override {
        log.push_back(Call("put", object, member, {value}));
        return true;
    }
    void InvokeMethod(Handle object, std::string_view member,
                      const AutomationArgs& args) override {
        log.push_back(Call("call", object, member, args));
        if (member == "SaveAs" && files)
            files->files[std::get<std::string>(args[0])] = csv;
    }
    Handle InvokeObjectMethod(Handle object, std::string_view member,
                              const AutomationArgs& args) override {
        const Handle result = member == "Open" && failOpen ? 0 : New();
        log.push_back(Call("obj", object, member, args) + " -> " + std::to_string(result));
        return result;
    }
    void Release(Handle object) override {
        log.push_back("release " + std::to_string(object));
        EXPECT_EQ(live.erase(object), 1u) << "released twice or never handed out: " << object;
    }

private:
    Handle New() {
        live.insert(++next_);
        return next_;
    }
    static std::string Call(const char* kind, Handle object, std::string_view member,
                            const AutomationArgs& args) {
        return std::string(kind) + " " + std::to_string(object) + "." + std::string(member) +
               "(" + Show(args) + ")";
    }
    Handle next_ = 0;
};

constexpr std::int32_t kColumnMap[] = {1, 2, 3, 4};
constexpr const char* kUrl = "http://127.0.0.1:8650/650.xlsx";
constexpr const char* kTempPath = "C:\\Temp\\template123456.csv";

struct Fetch {
    RecordingAutomation automation;
    MemoryFiles files;
    FakeProgress progress;
    FakeDesktop desktop;
    FakeList list;
    std::vector<std::int32_t> draws{123456};
    FetchPorts ports{automation, files, progress, desktop, [this] {
                         const std::int32_t n = draws.front();
                         if (draws.size() > 1)
                             draws.erase(draws.begin());
                         return n;
                     }};

    Fetch() {
        automation.files = &files;
        std::string csv;
        for (int i = 1; i <= 15; ++i)
            csv += "header,,,\r\n";
        automation.csv = csv + "游戏;甲,http://x/1,CODE,备注\r\nB,http://x/2,,\r\n";
    }
    void Run(std::string_view url = kUrl) {
        ImportWorkbook(ports, list, url, kSheetIndex, kFirstDataRow, kColumnMap);
    }
    void ExpectRestored() {
        EXPECT_EQ(automation.initialised, automation.uninitialised);
        EXPECT_TRUE(automation.live.empty()) << "every reference is released";
        ASSERT_FALSE(list.redrawLog.empty());
        EXPECT_EQ(list.redrawLog, (std::vector<bool>{false, true}));
        EXPECT_EQ(files.stats.open, 0);
    }
};

TEST(ImportWorkbook, RunsTheAutomationSequenceLoadsTheFileAndDeletesIt) {
    Fetch t;
    t.Run();
    const Log expected{
        "init",
        "create Excel.Application",
        "put 1.DisplayAlerts(b:0)",
        "get 1.Workbooks() -> 2",
        "obj 2.Open(s:http://127.0.0.1:8650/650.xlsx) -> 3",
        "release 2",
        "get 3.Sheets() -> 4",
        "get 4.Item(i:1) -> 5",
        "obj 5.Activate() -> 6",
        "release 6",
        "get 1.Cells() -> 7",
        "call 7.Replace(s:\\n,s:)",
        "call 7.Replace(s:\\r,s:)",
        "call 7.Replace(s:,,s:;)",
        std::string("call 3.SaveAs(s:") + kTempPath + ",i:6)",
        "release 7",
        "release 5",
        "release 4",
        "call 3.Close()",
        "release 3",
        "call 1.Quit()",
        "release 1",
        "uninit",
    };
    EXPECT_EQ(t.automation.log, expected);
    ASSERT_EQ(t.list.rows.size(), 2u);
    EXPECT_EQ(t.list.rows[0], (std::vector<std::string>{"1", "游戏;甲", "http://x/1", "CODE", "备注"}));
    EXPECT_EQ(t.files.deleted, (std::vector<std::string>{kTempPath}));
    EXPECT_TRUE(t.files.files.empty());
    EXPECT_TRUE(t.desktop.calls.empty());
    t.ExpectRestored();
}

TEST(ImportWorkbook, AWrongExtensionIsRefusedWithTheMessageAfterRestoring) {
    for (const char* url : {"http://h/650.XLSX", "http://h/650.xls", "http://h/650.xlsx?x=1", "",
                            "xls"}) {
        Fetch t;
        t.Run(url);
        EXPECT_EQ(t.automation.log, (Log{"init", "uninit"})) << url;
        EXPECT_EQ(t.desktop.calls,
                  (std::vector<std::string>{"box 提示|文件后缀错误！|0"}))
            << url;
        t.ExpectRestored();
    }
    Fetch accepted; // xlsx without a dot before it
    accepted.Run("http://h/650xlsx");
    EXPECT_TRUE(accepted.desktop.calls.empty());
    EXPECT_EQ(accepted.list.rows.size(), 2u);
}

TEST(ImportWorkbook, NoServerLeavesTheListEmptyWithoutAMessage) {
    Fetch t;
    t.automation.failCreate = true;
    t.Run();
    EXPECT_EQ(t.automation.log, (Log{"init", "create Excel.Application", "uninit"}));
    EXPECT_TRUE(t.list.rows.empty());
    EXPECT_TRUE(t.desktop.calls.empty());
    EXPECT_TRUE(t.progress.calls.empty());
    t.ExpectRestored();
}

TEST(ImportWorkbook, AWorkbookThatCannotBeOpenedRunsOnEmptyReferencesAndStillQuits) {
    Fetch t;
    t.automation.failOpen = true;
    t.Run();
    const Log expected{
        "init",
        "create Excel.Application",
        "put 1.DisplayAlerts(b:0)",
        "get 1.Workbooks() -> 2",
        "obj 2.Open(s:http://127.0.0.1:8650/650.xlsx) -> 0",
        "release 2",
        "get 1.Cells() -> 3", // read from the application, not from the missing workbook
        "call 3.Replace(s:\\n,s:)",
        "call 3.Replace(s:\\r,s:)",
        "call 3.Replace(s:,,s:;)",
        "release 3",
        "call 1.Quit()",
        "release 1",
        "uninit",
    };
    EXPECT_EQ(t.automation.log, expected);
    EXPECT_TRUE(t.list.rows.empty());
    EXPECT_TRUE(t.progress.calls.empty()); // the loader found no file
    EXPECT_TRUE(t.desktop.calls.empty());
    t.ExpectRestored();
}

TEST(ImportWorkbook, AStaleFileOfTheDrawnNameIsNeverRead) {
    Fetch t;
    t.automation.failOpen = true;
    t.draws = {123456, 654321};
    t.files.files[kTempPath] = t.automation.csv; // left by an earlier run
    t.Run();
    EXPECT_TRUE(t.list.rows.empty());
    EXPECT_EQ(t.files.files.count(kTempPath), 1u); // not ours: left alone
    EXPECT_EQ(t.files.deleted, (std::vector<std::string>{"C:\\Temp\\template654321.csv"}));
    t.ExpectRestored();
}

TEST(ImportWorkbook, AFailedComInitialisationIsNotUninitialised) {
    Fetch t;
    t.automation.failInitialize = true;
    t.Run();
    EXPECT_EQ(t.automation.uninitialised, 0);
    EXPECT_EQ(t.list.rows.size(), 2u);
}

TEST(MakeTempCsvPath, JoinsFolderPrefixNumberAndExtension) {
    struct Case {
        const char* folder;
        const char* path;
    } const cases[] = {
        {"C:\\Temp\\", "C:\\Temp\\template100000.csv"},
        {"C:\\Temp", "C:\\Temp\\template100000.csv"}, // a backslash is added
        {"", "template100000.csv"},                    // no temporary folder: a bare name
    };
    for (const Case& c : cases) {
        MemoryFiles files;
        files.tempFolder = c.folder;
        EXPECT_EQ(MakeTempCsvPath(files, [] { return 100000; }), c.path);
    }
    MemoryFiles full;
    full.files["template999999.csv"] = "";
    full.tempFolder = "";
    EXPECT_EQ(MakeTempCsvPath(full, [] { return 999999; }), ""); // every draw taken
}

TEST(OnFetchClicked, EmptiesTheListBeforeEveryFetch) {
    Fetch t;
    t.list.SetCellText(t.list.InsertRow(), 1, "old");
    HandlerContext context{.gameList = &t.list, .fetch = &t.ports};
    OnFetchClicked(context);
    OnFetchClicked(context);
    EXPECT_EQ(t.list.rows.size(), 2u); // rows never accumulate
    EXPECT_EQ(t.list.rows[0][1], "游戏;甲");
}

} // namespace
} // namespace velmora::test
