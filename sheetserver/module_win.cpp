// The DLL's entry points: the class factory, registration under "Excel.Application", and a
// hook through which tests shorten the download deadlines.
#include "sheetserver/dispatch_win.h"
#include "sheetserver/download_win.h"
#include "sheetserver/guids_win.h"
#include "sheetserver/objects_win.h"

#include <olectl.h>

#include <string>

namespace sheetserver {
namespace {

class ClassFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // A static object: its references keep nothing alive, LockServer does.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        DispatchObject* application = NewApplication();
        const HRESULT hr = application->QueryInterface(iid, out);
        application->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? ObjectCreated() : ObjectDestroyed();
        return S_OK;
    }
};

ClassFactory g_factory;

const std::wstring kClassKey = std::wstring(L"CLSID\\") + kApplicationClassIdText;

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(ThisModule(), path, MAX_PATH);
    return path;
}

bool SetValue(const std::wstring& keyPath, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// The class that "Excel.Application" names now, or empty when it names none.
std::wstring RegisteredClass() {
    wchar_t value[64] = {};
    LONG size = sizeof value;
    if (::RegQueryValueW(HKEY_CLASSES_ROOT, (std::wstring(kProgId) + L"\\CLSID").c_str(), value, &size) !=
        ERROR_SUCCESS)
        return {};
    return value;
}

bool IsOurs(const std::wstring& classId) { return ::_wcsicmp(classId.c_str(), kApplicationClassIdText) == 0; }

} // namespace
} // namespace sheetserver

using namespace sheetserver;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        ::DisableThreadLibraryCalls(instance);
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (clsid != kApplicationClassId)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return LiveObjects() == 0 ? S_OK : S_FALSE; }

// Registers the server unless "Excel.Application" belongs to another class already: a real
// spreadsheet application is never displaced.
extern "C" HRESULT WINAPI DllRegisterServer() {
    const std::wstring current = RegisteredClass();
    if (!current.empty() && !IsOurs(current))
        return SELFREG_E_CLASS;
    const std::wstring path = ModulePath();
    ITypeLib* library = nullptr;
    if (FAILED(::LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library)))
        return SELFREG_E_TYPELIB;
    std::wstring writablePath = path; // RegisterTypeLib takes a non-const path
    const HRESULT registered = ::RegisterTypeLib(library, writablePath.data(), nullptr);
    library->Release();
    if (FAILED(registered))
        return SELFREG_E_TYPELIB;
    const bool ok = SetValue(kProgId, nullptr, L"Velmora sheet server") &&
                    SetValue(std::wstring(kProgId) + L"\\CLSID", nullptr, kApplicationClassIdText) &&
                    SetValue(kClassKey, nullptr, L"Velmora sheet server") &&
                    SetValue(kClassKey + L"\\ProgID", nullptr, kProgId) &&
                    SetValue(kClassKey + L"\\InprocServer32", nullptr, path) &&
                    SetValue(kClassKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    return ok ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    if (IsOurs(RegisteredClass()))
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey.c_str());
    ::UnRegisterTypeLib(kLibraryId, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
    return S_OK;
}

// For tests only: shorter download deadlines, so that a silent server is shown quickly.
extern "C" void WINAPI SheetServerSetTimeoutsForTest(DWORD connectMs, DWORD silenceMs) {
    CurrentDownloadLimits().connectMs = connectMs;
    CurrentDownloadLimits().silenceMs = silenceMs;
}
