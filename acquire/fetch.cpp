#include "acquire/fetch.h"

#include "acquire/csv_loader.h"
#include "app/desktop_port.h"
#include "ui/list_port.h"

#include <array>

namespace velmora {
namespace {

constexpr std::string_view kRequiredExtension = "xlsx";
constexpr std::string_view kWrongExtensionText = "文件后缀错误！";
constexpr std::string_view kWrongExtensionTitle = "提示";
constexpr int kNameTries = 100;

#ifndef VELMORA_LIST_URL
#define VELMORA_LIST_URL "http://127.0.0.1:8650/650.xlsx"
#endif
constexpr std::string_view kListUrl = VELMORA_LIST_URL;

// The last four bytes of the url, compared byte for byte.
bool HasRequiredExtension(std::string_view url) {
    const std::string_view tail =
        url.size() > kRequiredExtension.size() ? url.substr(url.size() - kRequiredExtension.size())
                                               : url;
    return tail == kRequiredExtension;
}

// CoInitialize for the call, matched by CoUninitialize on every way out when it succeeded.
class ComScope {
public:
    explicit ComScope(AutomationPort& port) : port_(port), initialised_(port.Initialize()) {}
    ~ComScope() {
        if (initialised_)
            port_.Uninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    AutomationPort& port_;
    bool initialised_;
};

// The list's redrawing off for the call, on again on every way out.
class RedrawOff {
public:
    explicit RedrawOff(ListPort& list) : list_(list) { list_.SetRedraw(false); }
    ~RedrawOff() { list_.SetRedraw(true); }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    ListPort& list_;
};

// The automation sequence: each step runs whatever the step before it yielded.
void ConvertToCsv(const AutomationObject& application, std::string_view url,
                  std::int32_t sheetIndex, const std::string& csvPath) {
    application.Put("DisplayAlerts", false);
    AutomationObject workbook = application.Get("Workbooks").InvokeForObject(
        "Open", {std::string(url)}); // the workbooks collection goes at once
    AutomationObject sheets = workbook.Get("Sheets");
    AutomationObject worksheet = sheets.Get("Item", {sheetIndex});
    worksheet.InvokeForObject("Activate"); // its result goes at once
    AutomationObject cells = application.Get("Cells"); // of the active worksheet
    cells.Invoke("Replace", {std::string("\n"), std::string()});
    cells.Invoke("Replace", {std::string("\r"), std::string()});
    cells.Invoke("Replace", {std::string(","), std::string(";")});
    workbook.Invoke("SaveAs", {csvPath, kCsvFileFormat});
    cells.Reset();
    worksheet.Reset();
    sheets.Reset();
    workbook.Invoke("Close");
    workbook.Reset();
    application.Invoke("Quit");
}

} // namespace

std::string MakeTempCsvPath(FilesPort& files, const std::function<std::int32_t()>& drawNumber) {
    std::string folder = files.TempFolder();
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    for (int i = 0; i < kNameTries; ++i) {
        std::string path = folder + "template" + std::to_string(drawNumber()) + ".csv";
        if (!files.FileExists(path))
            return path;
    }
    return {}; // every name drawn was taken
}

void ImportWorkbook(const FetchPorts& ports, ListPort& list, std::string_view url,
                    std::int32_t sheetIndex, std::int32_t firstDataRow,
                    std::span<const std::int32_t> columnMap) {
    bool wrongExtension = false;
    {
        ComScope com(ports.automation);
        RedrawOff redraw(list);
        if (!HasRequiredExtension(url)) {
            wrongExtension = true;
        } else if (AutomationObject application(ports.automation,
                                                ports.automation.CreateObject(kSpreadsheetProgId));
                   !application.Empty()) {
            const std::string csvPath = MakeTempCsvPath(ports.files, ports.drawNumber);
            ConvertToCsv(application, url, sheetIndex, csvPath);
            application.Reset();
            if (!csvPath.empty()) { // a fetch reads only a file that it had written
                LoadCsvRows({list, ports.progress, ports.files}, csvPath, firstDataRow,
                            columnMap);
                ports.files.RemoveFile(csvPath);
            }
        }
    }
    // Shown once redrawing is back on and COM is uninitialised.
    if (wrongExtension)
        ports.desktop.ShowMessageBox(kWrongExtensionText, 0, kWrongExtensionTitle);
}

void OnFetchClicked(HandlerContext& context) {
    constexpr std::array<std::int32_t, 4> kColumnMap{1, 2, 3, 4};
    context.gameList->DeleteAllRows();
    // Without an automation client the fetch ends here, as on a machine without the
    // spreadsheet application.
    if (!context.fetch)
        return;
    ImportWorkbook(*context.fetch, *context.gameList, kListUrl, kSheetIndex, kFirstDataRow,
                   kColumnMap);
}

} // namespace velmora
