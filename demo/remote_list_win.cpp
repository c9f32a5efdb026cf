#include "demo/remote_list_win.h"

#include <commctrl.h>

namespace velmora {
namespace {

// A block of memory in the list's process, freed with its handle.
class RemoteBlock {
public:
    RemoteBlock(HWND list, SIZE_T size) : size_(size) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(list, &pid);
        process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            address_ = static_cast<char*>(::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteBlock() {
        if (address_)
            ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_)
            ::CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    char* Address() const { return address_; }
    bool Write(const void* data, SIZE_T size) const {
        return address_ && ::WriteProcessMemory(process_, address_, data, size, nullptr);
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const {
        return address_ && offset + size <= size_ &&
               ::ReadProcessMemory(process_, address_ + offset, data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    char* address_ = nullptr;
    SIZE_T size_;
};

} // namespace

std::string RemoteCellText(HWND list, int row, int column) {
    constexpr SIZE_T kText = 1024;
    RemoteBlock block(list, sizeof(LVITEMA) + kText);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = block.Address() + sizeof(LVITEMA);
    item.cchTextMax = kText;
    if (!block.Write(&item, sizeof item))
        return "<no process>";
    ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(block.Address()));
    char text[kText] = {};
    block.Read(sizeof(LVITEMA), text, kText - 1);
    return text;
}

std::vector<std::string> RemoteRowTexts(HWND list, int row, int columns) {
    std::vector<std::string> texts;
    for (int column = 0; column < columns; ++column)
        texts.push_back(RemoteCellText(list, row, column));
    return texts;
}

RECT RemoteRowRect(HWND list, int row) {
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    RemoteBlock block(list, sizeof rect);
    if (!block.Write(&rect, sizeof rect) ||
        !::SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(block.Address())) ||
        !block.Read(0, &rect, sizeof rect))
        return {};
    return rect;
}

} // namespace velmora
