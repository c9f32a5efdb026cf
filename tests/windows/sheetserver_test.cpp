// The stand-in spreadsheet server under Wine: its type information and registration, and whole
// fetches from a local HTTP server through the program's own automation client, good and bad.
#include "tests/windows/program_support_win.h"
#include "tests/windows/test_support_win.h"
#include "tests/windows/testserver/http_server_win.h"

#include "acquire/automation_win.h"
#include "acquire/fetch.h"
#include "acquire/files_win.h"
#include "app/desktop_win.h"
#include "ui/progress_window_win.h"

#include <commctrl.h>
#include <objbase.h>
#include <olectl.h>
#include <wrl/client.h>

#include <array>

using Microsoft::WRL::ComPtr;

namespace velmora::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// What the list shows after a fetch of fixture.xlsx: number, name, link, code, remarks. Quotes
// mean nothing to the loader, so a quoted field arrives with its quotes.
const Rows kFixtureRows = {
    {"1", "星际远航", "http://127.0.0.1/dl/a;b", "1234", "中文版"},
    {"2", "Night Harbor", "magnet:?xt=urn:btih:0123456789abcdef&dn=night", "", "红色蓝色"},
    {"3", "上行下行", "https://127.0.0.1/s/2", "\"AB\"\"C\"", "甲乙"},
    {"4", "Numbers 数字", "0.3", "TRUE", "2024-03-15"},
    {"5", "CarriageReturn", "公式; 值", "1.5E-07", "2024-03-15"},
    {"6", "\"\"\"Quoted\"\" game\"", "-12.5", "FALSE", "#N/A"},
};

// sheetserver.dll as the registration loads it: the same module that COM activates.
class SheetServerModule {
public:
    SheetServerModule() : dll_(::LoadLibraryA(BesideTestProgram("sheetserver.dll").c_str())) {}
    ~SheetServerModule() {
        SetTimeouts(10000, 30000);
        ::FreeLibrary(dll_);
    }
    SheetServerModule(const SheetServerModule&) = delete;
    SheetServerModule& operator=(const SheetServerModule&) = delete;

    template <typename Function>
    Function Export(const char* name) const {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(dll_, name)));
    }
    void SetTimeouts(DWORD connectMs, DWORD silenceMs) const {
        Export<void(WINAPI*)(DWORD, DWORD)>("SheetServerSetTimeoutsForTest")(connectMs, silenceMs);
    }
    // True once every object the server gave out is released.
    bool AllReleased() const { return Export<HRESULT(WINAPI*)()>("DllCanUnloadNow")() == S_OK; }

private:
    HMODULE dll_;
};

class SheetServerFetch : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
        ASSERT_TRUE(server_.Listening());
        server_.Serve("/650.xlsx", {200, FixtureBytes("fixture.xlsx")});
        module_.SetTimeouts(2000, 500);
        desktop_ = std::make_unique<Win32Desktop>(form_);
        ports_ = std::make_unique<FetchPorts>(
            FetchPorts{automation_, files_, progress_, *desktop_, [this] { return ++draw_; }});
        filesBefore_ = TemporaryCsvFiles();
    }
    void TearDown() override {
        ports_.reset();
        ::CoUninitialize();
        MainWindowTest::TearDown();
    }

    // A fetch as FetchButton does it, of `url`.
    void FetchFrom(const std::string& url) {
        List().DeleteAllRows();
        const std::array<std::int32_t, 4> columnMap{1, 2, 3, 4};
        ImportWorkbook(*ports_, List(), url, kSheetIndex, kFirstDataRow, columnMap);
    }

    Rows ListRows() {
        Rows rows;
        for (int r = 0; r < List().RowCount(); ++r) {
            rows.emplace_back();
            for (int c = 0; c < 5; ++c)
                rows.back().push_back(List().GetCellText(r, c));
        }
        return rows;
    }

    SheetServerModule module_;
    HttpServer server_;
    std::int32_t draw_ = 700000;
    Win32Automation automation_;
    Win32Files files_;
    ProgressWindowControl progress_;
    std::unique_ptr<Win32Desktop> desktop_;
    std::unique_ptr<FetchPorts> ports_;
    int filesBefore_ = 0;
};

TEST_F(SheetServerFetch, FillsTheListFromTheServedWorkbookAndReleasesEverything) {
    FetchFrom(server_.Url("/650.xlsx"));
    EXPECT_EQ(ListRows(), kFixtureRows);
    EXPECT_EQ(TemporaryCsvFiles(), filesBefore_);
    EXPECT_TRUE(module_.AllReleased());
}

TEST_F(SheetServerFetch, FaultsLeaveTheListEmptyWithoutAMessageAndTheNextFetchWorks) {
    std::string refused;
    {
        HttpServer gone; // a port that nothing listens on once it has gone
        refused = gone.Url("/650.xlsx");
    }
    const struct {
        const char* what;
        const char* path;
        HttpResponse response;
    } cases[] = {
        {"HTTP 404", "/missing.xlsx", {404, "no such file"}},
        {"half the body", "/half.xlsx", {200, FixtureBytes("fixture.xlsx"), Delivery::HalfThenClose}},
        {"a silent server", "/silent.xlsx", {200, "", Delivery::Silent}},
        {"an HTML page", "/page.xlsx", {200, FixtureBytes("page.xlsx")}},
        {"a truncated ZIP", "/truncated.xlsx", {200, FixtureBytes("truncated.xlsx")}},
        {"no xl/workbook.xml", "/no-workbook.xlsx", {200, FixtureBytes("no-workbook.xlsx")}},
        {"a deflate bomb", "/bomb.xlsx", {200, FixtureBytes("bomb.xlsx")}},
        {"XML with a DTD", "/dtd.xlsx", {200, FixtureBytes("dtd.xlsx")}},
        {"a refused connection", nullptr, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.path)
            server_.Serve(c.path, c.response);
        List().SetCellText(List().InsertRow(), 1, "old");
        FetchFrom(c.path ? server_.Url(c.path) : refused);
        EXPECT_EQ(List().RowCount(), 0);
        EXPECT_EQ(progress_.Window(), nullptr); // no file was written, so none was loaded
        EXPECT_EQ(::FindWindowA("#32770", nullptr), nullptr);
        EXPECT_TRUE(module_.AllReleased());
        FetchFrom(server_.Url("/650.xlsx"));
        EXPECT_EQ(ListRows(), kFixtureRows);
        PumpFor(20); // the progress window goes
    }
    EXPECT_EQ(TemporaryCsvFiles(), filesBefore_);
}

TEST_F(SheetServerFetch, SaveAsWritesOnlyCommaSeparatedText) {
    const std::string path = "Z:" + std::string(VELMORA_FIXTURES) + "/fixture.xlsx";
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    const std::string csv = std::string(folder) + "sheetserver_format.csv";
    {
        AutomationObject application(automation_, automation_.CreateObject(kSpreadsheetProgId));
        AutomationObject book = application.Get("Workbooks").InvokeForObject("Open", {path});
        ASSERT_FALSE(book.Empty());
        book.Invoke("SaveAs", {csv, std::int32_t{51}});
        EXPECT_EQ(::GetFileAttributesA(csv.c_str()), INVALID_FILE_ATTRIBUTES);
        book.Invoke("SaveAs", {csv, std::int32_t{6}});
        EXPECT_NE(::GetFileAttributesA(csv.c_str()), INVALID_FILE_ATTRIBUTES);
        // Saved again over the file, without asking.
        book.Invoke("SaveAs", {csv, std::int32_t{6}});
        book.Invoke("Close");
        application.Invoke("Quit");
    }
    EXPECT_TRUE(module_.AllReleased());
    EXPECT_TRUE(::DeleteFileA(csv.c_str()));
}

// The kinds of invocation that the type information gives each member of Application.
TEST(SheetServer, TypeInformationDescribesEachMemberWithItsKind) {
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    {
        CLSID clsid{};
        ASSERT_TRUE(SUCCEEDED(::CLSIDFromProgID(L"Excel.Application", &clsid)));
        ComPtr<IDispatch> application;
        ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&application))));
        ComPtr<ITypeInfo> info;
        ASSERT_TRUE(SUCCEEDED(application->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info)));
        TYPEATTR* attributes = nullptr;
        ASSERT_TRUE(SUCCEEDED(info->GetTypeAttr(&attributes)));
        EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
        std::vector<std::string> members;
        for (UINT i = 0; i < attributes->cFuncs; ++i) {
            FUNCDESC* function = nullptr;
            ASSERT_TRUE(SUCCEEDED(info->GetFuncDesc(i, &function)));
            BSTR name = nullptr;
            info->GetDocumentation(function->memid, &name, nullptr, nullptr, nullptr);
            char text[64] = {};
            ::WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text, nullptr, nullptr);
            members.push_back(std::string(text) + " " + std::to_string(function->invkind) + " " +
                              std::to_string(function->cParams) + " " +
                              std::to_string(function->elemdescFunc.tdesc.vt));
            ::SysFreeString(name);
            info->ReleaseFuncDesc(function);
        }
        info->ReleaseTypeAttr(attributes);
        // name, kind (1 method, 2 get, 4 put), parameters, result type
        const std::vector<std::string> expected{
            "DisplayAlerts 2 0 11", "DisplayAlerts 4 1 24", "Workbooks 2 0 9", "Cells 2 0 9", "Quit 1 0 24",
        };
        EXPECT_EQ(members, expected);
    }
    ::CoUninitialize();
}

// The value of HKCR\Excel.Application\CLSID, or empty.
std::string RegisteredClass() {
    char value[64] = {};
    LONG size = sizeof value;
    return ::RegQueryValueA(HKEY_CLASSES_ROOT, "Excel.Application\\CLSID", value, &size) == ERROR_SUCCESS ? value
                                                                                                      : "";
}

void SetRegisteredClass(const std::string& value) {
    ::RegSetValueA(HKEY_CLASSES_ROOT, "Excel.Application\\CLSID", REG_SZ, value.c_str(),
                   static_cast<DWORD>(value.size()));
}

TEST(SheetServer, NeverTakesOverAnIdentifierRegisteredToAnotherClass) {
    const std::string ours = RegisteredClass();
    ASSERT_FALSE(ours.empty());
    const std::string other = "{00024500-0000-0000-C000-000000000046}";
    SetRegisteredClass(other);
    SheetServerModule module;
    EXPECT_EQ(module.Export<HRESULT(WINAPI*)()>("DllRegisterServer")(), SELFREG_E_CLASS);
    EXPECT_EQ(RegisteredClass(), other);
    module.Export<HRESULT(WINAPI*)()>("DllUnregisterServer")();
    EXPECT_EQ(RegisteredClass(), other) << "another class's identifier is left alone";
    SetRegisteredClass(ours);
    EXPECT_EQ(module.Export<HRESULT(WINAPI*)()>("DllRegisterServer")(), S_OK);
    EXPECT_EQ(RegisteredClass(), ours);
}

TEST(Program, AFetchFillsTheListFromTheWebThroughTheRegisteredServerAndLeavesNoFile) {
    HttpServer server(8650);
    ASSERT_TRUE(server.Listening());
    server.Serve("/650.xlsx", {200, FixtureBytes("fixture.xlsx")});
    const int filesBefore = TemporaryCsvFiles();
    Program program;
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    ::SendMessageA(ChildOfClass(main, "Button", 1), BM_CLICK, 0, 0); // returns after the fetch
    HWND list = ChildOfClass(main, "SysListView32");
    Rows rows;
    for (int r = 0; r < ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); ++r)
        rows.push_back(RemoteRowTexts(list, r, 5));
    EXPECT_EQ(rows, kFixtureRows);
    EXPECT_EQ(TemporaryCsvFiles(), filesBefore);
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

} // namespace
} // namespace velmora::test
