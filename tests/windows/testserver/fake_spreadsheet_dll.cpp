// The stand-in spreadsheet application as an in-process server DLL, for tests that run the
// real velmora.exe. DllRegisterServer registers it as "Excel.Application" under the machine's
// classes unless that identifier is registered already; its SaveAs writes a fixed catalogue.
#include "tests/windows/testserver/fake_spreadsheet_win.h"

#include <string>

using namespace velmora::test;

namespace {

HMODULE g_module = nullptr;
constexpr char kProgIdKey[] = "Software\\Classes\\Excel.Application";

std::string ClassKey() { return std::string("Software\\Classes\\CLSID\\") + kFakeSpreadsheetClsidText; }

bool SetDefault(const std::string& keyPath, const std::string& value, const char* name = nullptr) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = ::RegSetValueExA(key, name, 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(value.c_str()),
                                         static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// The catalogue that SaveAs writes: 15 header lines, then three games.
std::string Catalogue() {
    std::string csv;
    for (int i = 1; i <= 15; ++i)
        csv += "header " + std::to_string(i) + ",,,\r\n";
    return csv + "游戏一,http://127.0.0.1/1,AAAA-1,备注;一\r\n"
                 "Game Two,magnet:?xt=urn:btih:2,,\r\n"
                 "第三个游戏,https://127.0.0.1/3,CCCC-3,\r\n";
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        FakeSpreadsheetLog().csv = Catalogue();
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (clsid != kFakeSpreadsheetClsid) {
        *out = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return FakeSpreadsheetFactory().QueryInterface(iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }

extern "C" HRESULT WINAPI DllRegisterServer() {
    HKEY existing = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProgIdKey, 0, KEY_READ, &existing) == ERROR_SUCCESS) {
        ::RegCloseKey(existing);
        return E_ACCESSDENIED; // never displace a registered spreadsheet application
    }
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(g_module, path, MAX_PATH);
    const bool ok = SetDefault(std::string(kProgIdKey) + "\\CLSID", kFakeSpreadsheetClsidText) &&
                    SetDefault(ClassKey() + "\\InprocServer32", path) &&
                    SetDefault(ClassKey() + "\\InprocServer32", "Apartment", "ThreadingModel");
    return ok ? S_OK : E_FAIL;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kProgIdKey);
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, ClassKey().c_str());
    return S_OK;
}
