#include "tests/native/fakes.h"

#include <algorithm>
#include <cstring>

namespace velmora::test {
namespace {

class MemoryFile final : public ReadableFile {
public:
    MemoryFile(MemoryFiles& owner, const std::string& data) : owner_(owner), data_(data) {
        ++owner_.stats.open;
        ++owner_.stats.opened;
    }
    ~MemoryFile() override { --owner_.stats.open; }

    std::int64_t Read(char* buffer, std::int32_t size) override {
        owner_.stats.largestRead = std::max(owner_.stats.largestRead, size);
        const std::int64_t count =
            std::min<std::int64_t>(size, static_cast<std::int64_t>(data_.size()) - position_);
        if (owner_.failReadsFrom >= 0 && position_ + count > owner_.failReadsFrom)
            return -1;
        if (count <= 0)
            return 0;
        std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(count));
        position_ += count;
        return count;
    }
    bool SetPosition(std::int64_t position) override {
        position_ = position;
        return position >= 0;
    }
    std::int64_t Length() override { return static_cast<std::int64_t>(data_.size()); }

private:
    MemoryFiles& owner_;
    const std::string data_;
    std::int64_t position_ = 0;
};

} // namespace

std::int32_t MemoryFiles::FileSize(const std::string& path) {
    const auto it = files.find(path);
    return it == files.end() ? -1 : static_cast<std::int32_t>(it->second.size());
}

std::unique_ptr<ReadableFile> MemoryFiles::OpenForReading(const std::string& path) {
    const auto it = files.find(path);
    if (it == files.end())
        return nullptr;
    return std::make_unique<MemoryFile>(*this, it->second);
}

void MemoryFiles::RemoveFile(const std::string& path) {
    deleted.push_back(path);
    files.erase(path);
}

int FakeList::InsertRow() {
    if (failInsertsAt == RowCount()) {
        failInsertsAt = -1; // refuses once
        return -1;
    }
    rows.emplace_back(5);
    return RowCount() - 1;
}

void FakeList::SetCellText(int row, int column, const std::string& text) {
    if (row >= 0 && row < RowCount() && column >= 0 && column < 5)
        rows[row][column] = text;
}

void FakeList::ReadCellText(int row, int column, std::string& text) const {
    if (row >= 0 && row < RowCount() && column >= 0 && column < 5)
        text = rows[row][column];
    else
        text.clear();
}

void FakeList::SetSelectedRow(int row) {
    if (row < kNoRow)
        row = kNoRow;
    if (row < RowCount())
        selected = row;
}

bool FakeProgress::ShowProgressWindow() {
    calls.push_back("show");
    return true;
}

void FakeProgress::SetProgressMaximum(std::int32_t value) {
    calls.push_back("max " + std::to_string(value));
}

void FakeProgress::SetProgressPosition(std::int32_t value) {
    calls.push_back("pos " + std::to_string(value));
}

void FakeDesktop::ShowMessageBox(std::string_view text, std::uint32_t style,
                                 std::string_view title) {
    calls.push_back("box " + std::string(title) + "|" + std::string(text) + "|" +
                    std::to_string(style));
}

bool FakeDesktop::CopyToClipboard(const std::string& text) {
    calls.push_back("copy " + text);
    if (clipboardHeld)
        return false;
    clipboard = text;
    return true;
}

} // namespace velmora::test
