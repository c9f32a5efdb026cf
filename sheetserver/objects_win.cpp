#include "sheetserver/objects_win.h"

#include "sheetserver/download_win.h"
#include "sheetserver/guids_win.h"
#include "sheetserver/sheet_edit.h"
#include "sheetserver/text_win.h"
#include "sheetserver/workbook_reader.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace sheetserver {
namespace {

constexpr std::uint64_t kMaxUnpacked = 512ull << 20;
constexpr std::uint64_t kMaxCsv = 512ull << 20;
constexpr LONG kCsvFormat = 6;

struct Book {
    Workbook data;
};

// What one Application holds; every object it hands out shares it.
struct Session {
    std::vector<std::shared_ptr<Book>> books;
    std::shared_ptr<Book> active;
    bool displayAlerts = true;
};
using SessionPtr = std::shared_ptr<Session>;

[[noreturn]] void Fail(std::wstring description) { throw Failure{std::move(description)}; }

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (Valid())
            ::CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

bool IsWebAddress(const std::wstring& name) {
    auto startsWith = [&](const wchar_t* prefix) { return ::_wcsnicmp(name.c_str(), prefix, wcslen(prefix)) == 0; };
    return startsWith(L"http://") || startsWith(L"https://");
}

std::string ReadLocalFile(const std::wstring& path, std::uint64_t maxBytes) {
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.Valid() || !::GetFileSizeEx(file.Get(), &size))
        Fail(L"The workbook file cannot be opened.");
    if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes)
        Fail(L"The workbook is larger than the download limit.");
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        Fail(L"The workbook file cannot be read.");
    return bytes;
}

// Writes the active sheet as CSV in the ANSI code page, replacing the file, piece by piece.
void SaveCsv(const Worksheet& sheet, const std::wstring& path) {
    std::optional<FileHandle> file;
    bool complete = true;
    std::string ansi;
    auto open = [&] {
        if (!file)
            file.emplace(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        return file->Valid();
    };
    const bool fits = WriteCsv(sheet, kMaxCsv, [&](std::string_view piece) {
        Utf8ToAnsi(piece, ansi);
        DWORD written = 0;
        complete = complete && open() &&
                   ::WriteFile(file->Get(), ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr) &&
                   written == ansi.size();
    });
    if (!fits)
        Fail(L"The sheet is too large to save.");
    if (!open())
        Fail(L"The file cannot be written.");
    if (!complete)
        Fail(L"The file could not be written completely.");
}

HRESULT ExpectCount(const Arguments& args, UINT count) {
    return args.Count() == count ? S_OK : DISP_E_BADPARAMCOUNT;
}

class Range : public DispatchObject {
public:
    Range(std::shared_ptr<Book> book, std::size_t sheet)
        : DispatchObject(kRangeId), book_(std::move(book)), sheet_(sheet) {}

private:
    HRESULT Call(DISPID id, WORD flags, const Arguments& args, VARIANT*) override {
        if (id != 1 || !IsMethod(flags))
            return DISP_E_MEMBERNOTFOUND;
        std::wstring what, replacement;
        if (FAILED(ExpectCount(args, 2)))
            return DISP_E_BADPARAMCOUNT;
        if (!args.Text(0, what) || !args.Text(1, replacement))
            return DISP_E_TYPEMISMATCH;
        ReplaceInCells(book_->data.sheets[sheet_], ToUtf8(what), ToUtf8(replacement));
        return S_OK;
    }

    std::shared_ptr<Book> book_;
    std::size_t sheet_;
};

class WorksheetObject : public DispatchObject {
public:
    WorksheetObject(SessionPtr session, std::shared_ptr<Book> book, std::size_t sheet)
        : DispatchObject(kWorksheetId), session_(std::move(session)), book_(std::move(book)), sheet_(sheet) {}

private:
    HRESULT Call(DISPID id, WORD flags, const Arguments& args, VARIANT* result) override {
        if (FAILED(ExpectCount(args, 0)))
            return DISP_E_BADPARAMCOUNT;
        if (id == 1 && IsMethod(flags)) { // Activate: this sheet's cells become the Cells
            book_->data.activeSheet = sheet_;
            session_->active = book_;
            return S_OK;
        }
        if (id == 2 && IsGet(flags)) {
            if (result) {
                result->vt = VT_BSTR;
                result->bstrVal = ::SysAllocString(FromUtf8(book_->data.sheets[sheet_].name).c_str());
            }
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    SessionPtr session_;
    std::shared_ptr<Book> book_;
    std::size_t sheet_;
};

class SheetsObject : public DispatchObject {
public:
    SheetsObject(SessionPtr session, std::shared_ptr<Book> book)
        : DispatchObject(kSheetsId), session_(std::move(session)), book_(std::move(book)) {}

private:
    HRESULT Call(DISPID id, WORD flags, const Arguments& args, VARIANT* result) override {
        const auto& sheets = book_->data.sheets;
        if (id == DISPID_VALUE && (IsGet(flags) || IsMethod(flags))) { // Item(index or name)
            if (FAILED(ExpectCount(args, 1)))
                return DISP_E_BADPARAMCOUNT;
            std::size_t found = sheets.size();
            LONG index = 0;
            if (args.At(0).vt == VT_BSTR) {
                const std::string name = ToUtf8(args.At(0).bstrVal ? args.At(0).bstrVal : L"");
                found = std::find_if(sheets.begin(), sheets.end(),
                                     [&](const Worksheet& s) { return s.name == name; }) - sheets.begin();
            } else if (args.Integer(0, index) && index >= 1 && static_cast<std::size_t>(index) <= sheets.size()) {
                found = static_cast<std::size_t>(index - 1);
            }
            if (found == sheets.size())
                Fail(L"There is no such sheet.");
            return ReturnObject(result, new WorksheetObject(session_, book_, found));
        }
        if (id == 1 && IsGet(flags)) {
            if (FAILED(ExpectCount(args, 0)))
                return DISP_E_BADPARAMCOUNT;
            if (result) {
                result->vt = VT_I4;
                result->lVal = static_cast<LONG>(sheets.size());
            }
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    SessionPtr session_;
    std::shared_ptr<Book> book_;
};

class WorkbookObject : public DispatchObject {
public:
    WorkbookObject(SessionPtr session, std::shared_ptr<Book> book)
        : DispatchObject(kWorkbookId), session_(std::move(session)), book_(std::move(book)) {}

private:
    HRESULT Call(DISPID id, WORD flags, const Arguments& args, VARIANT* result) override {
        if (id == 1 && IsGet(flags)) {
            if (FAILED(ExpectCount(args, 0)))
                return DISP_E_BADPARAMCOUNT;
            return ReturnObject(result, new SheetsObject(session_, book_));
        }
        if (id == 2 && IsMethod(flags))
            return SaveAs(args);
        if (id == 3 && IsMethod(flags)) { // Close: the workbook leaves the application
            if (FAILED(ExpectCount(args, 0)))
                return DISP_E_BADPARAMCOUNT;
            std::erase(session_->books, book_);
            if (session_->active == book_)
                session_->active = session_->books.empty() ? nullptr : session_->books.back();
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT SaveAs(const Arguments& args) {
        std::wstring path;
        LONG format = 0;
        if (FAILED(ExpectCount(args, 2)))
            return DISP_E_BADPARAMCOUNT;
        if (!args.Text(0, path) || !args.Integer(1, format))
            return DISP_E_TYPEMISMATCH;
        if (format != kCsvFormat)
            Fail(L"Only comma-separated text (format 6) can be saved.");
        SaveCsv(book_->data.sheets[book_->data.activeSheet], path);
        return S_OK;
    }

    SessionPtr session_;
    std::shared_ptr<Book> book_;
};

class WorkbooksObject : public DispatchObject {
public:
    explicit WorkbooksObject(SessionPtr session) : DispatchObject(kWorkbooksId), session_(std::move(session)) {}

private:
    HRESULT Call(DISPID id, WORD flags, const Arguments& args, VARIANT* result) override {
        if (id != 1 || !IsMethod(flags))
            return DISP_E_MEMBERNOTFOUND;
        std::wstring name;
        if (FAILED(ExpectCount(args, 1)))
            return DISP_E_BADPARAMCOUNT;
        if (!args.Text(0, name))
            return DISP_E_TYPEMISMATCH;
        const DownloadLimits limits = CurrentDownloadLimits();
        std::string bytes;
        std::wstring error;
        if (!IsWebAddress(name))
            bytes = ReadLocalFile(name, limits.maxBytes);
        else if (!Download(name, limits, bytes, error))
            Fail(error);
        auto book = std::make_shared<Book>();
        std::string readError;
        if (!ReadWorkbook(bytes, kMaxUnpacked, book->data, readError))
            Fail(FromUtf8(readError));
        session_->books.push_back(book);
        session_->active = book;
        return ReturnObject(result, new WorkbookObject(session_, std::move(book)));
    }

    SessionPtr session_;
};

class Application : public DispatchObject {
public:
    Application() : DispatchObject(kApplicationId), session_(std::make_shared<Session>()) {}

private:
    HRESULT Call(DISPID id, WORD flags, const Arguments& args, VARIANT* result) override {
        if (FAILED(ExpectCount(args, 0)))
            return DISP_E_BADPARAMCOUNT;
        switch (id) {
        case 1: // DisplayAlerts: kept, as the server never asks anything
            if (IsPut(flags)) {
                bool value = false;
                if (!ToBoolean(*args.PutValue(), value))
                    return DISP_E_TYPEMISMATCH;
                session_->displayAlerts = value;
                return S_OK;
            }
            if (!IsGet(flags))
                break;
            if (result) {
                result->vt = VT_BOOL;
                result->boolVal = session_->displayAlerts ? VARIANT_TRUE : VARIANT_FALSE;
            }
            return S_OK;
        case 2:
            if (!IsGet(flags))
                break;
            return ReturnObject(result, new WorkbooksObject(session_));
        case 3: // Cells: those of the active workbook's active sheet
            if (!IsGet(flags))
                break;
            if (!session_->active)
                Fail(L"No workbook is open.");
            return ReturnObject(result, new Range(session_->active, session_->active->data.activeSheet));
        case 4: // Quit: every workbook goes
            if (!IsMethod(flags))
                break;
            session_->books.clear();
            session_->active.reset();
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    SessionPtr session_;
};

} // namespace

DispatchObject* NewApplication() { return new Application(); }

} // namespace sheetserver
