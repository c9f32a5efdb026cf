// Fakes of the ports for the native tests: files in memory, a list of rows, a progress log.
#pragma once

#include "acquire/files_port.h"
#include "app/desktop_port.h"
#include "ui/list_port.h"
#include "ui/progress_port.h"

#include <map>
#include <string>
#include <vector>

namespace velmora::test {

class MemoryFiles final : public FilesPort {
public:
    struct Stats {
        int open = 0;          // files open now
        int opened = 0;        // files opened in all
        std::int32_t largestRead = 0;
    };

    std::map<std::string, std::string> files;
    std::int64_t failReadsFrom = -1; // reads that reach this offset fail
    std::string tempFolder = "C:\\Temp\\";
    std::vector<std::string> deleted;
    Stats stats;

    std::int32_t FileSize(const std::string& path) override;
    std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override;
    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    void RemoveFile(const std::string& path) override;
    std::string TempFolder() override { return tempFolder; }
};

class FakeList final : public ListPort {
public:
    std::vector<std::vector<std::string>> rows;
    int selected = kNoRow;
    int focusCalls = 0;
    int ensureVisibleRow = -2;
    int failInsertsAt = -1; // InsertRow yields -1 once, when the list holds this many rows
    std::vector<bool> redrawLog;

    void DeleteAllRows() override { rows.clear(), selected = kNoRow; }
    int InsertRow() override;
    void SetCellText(int row, int column, const std::string& text) override;
    void ReadCellText(int row, int column, std::string& text) const override;
    int RowCount() const override { return static_cast<int>(rows.size()); }
    int SelectedRow() const override { return selected; }
    void SetSelectedRow(int row) override;
    void EnsureRowVisible(int row) override { ensureVisibleRow = row; }
    void SetRedraw(bool on) override { redrawLog.push_back(on); }
    void Focus() override { ++focusCalls; }
};

class FakeProgress final : public ProgressPort {
public:
    std::vector<std::string> calls; // "show", "max N", "pos N", "destroy"
    bool ShowProgressWindow() override;
    void SetProgressMaximum(std::int32_t value) override;
    void SetProgressPosition(std::int32_t value) override;
    void DestroyProgressWindow() override { calls.push_back("destroy"); }
};

// Records what the handlers ask of the desktop, in order: "box TITLE|TEXT", "copy TEXT",
// "open TEXT", "popup".
class FakeDesktop final : public DesktopPort {
public:
    std::vector<std::string> calls;
    std::string clipboard = "old";
    bool clipboardHeld = false; // another program has the clipboard open

    void ShowMessageBox(std::string_view text, std::uint32_t style,
                        std::string_view title) override;
    bool CopyToClipboard(const std::string& text) override;
    void ShellOpen(const std::string& text) override { calls.push_back("open " + text); }
    void PopUpMenu(Role) override { calls.push_back("popup"); }
};

class FakeTextBox final : public TextBoxPort {
public:
    std::string text;
    std::string Text() const override { return text; }
};

} // namespace velmora::test
