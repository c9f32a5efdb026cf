#include "tests/windows/testserver/fake_spreadsheet_win.h"

#include <oleauto.h>

#include <fstream>
#include <functional>

namespace velmora::test {
namespace {

constexpr char kProgIdKey[] = "Software\\Classes\\Excel.Application";

std::string Narrow(const VARIANT& value) {
    if (value.vt != VT_BSTR || !value.bstrVal)
        return "?";
    char text[1024] = {};
    ::WideCharToMultiByte(CP_ACP, 0, value.bstrVal, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::string Shown(std::string text) {
    std::string shown;
    for (char c : text)
        shown += c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    return shown;
}

// An object whose members are named handlers, each accepting some invocation kinds.
class ScriptedObject final : public IDispatch {
public:
    using Handler = std::function<HRESULT(DISPPARAMS&, VARIANT*)>;
    struct MemberDef {
        std::wstring name;
        WORD kinds;
        Handler handler;
    };

    explicit ScriptedObject(std::vector<MemberDef> members) : members_(std::move(members)) {
        ++FakeSpreadsheetLog().liveObjects;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --count_;
        if (left == 0) {
            --FakeSpreadsheetLog().liveObjects;
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID,
                                            DISPID* ids) override {
        for (std::size_t i = 0; i < members_.size(); ++i) {
            if (members_[i].name == names[0]) {
                ids[0] = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if (id < 1 || static_cast<std::size_t>(id) > members_.size())
            return DISP_E_MEMBERNOTFOUND;
        const MemberDef& member = members_[id - 1];
        if (!(member.kinds & kind))
            return DISP_E_MEMBERNOTFOUND;
        return member.handler(*params, result);
    }

private:
    ~ScriptedObject() = default;
    std::vector<MemberDef> members_;
    ULONG count_ = 1;
};

HRESULT GiveObject(ScriptedObject* object, VARIANT* result) {
    if (!result) {
        object->Release();
        return S_OK;
    }
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    return S_OK;
}

void Log(std::string call) { FakeSpreadsheetLog().calls.push_back(std::move(call)); }

ScriptedObject* NewRange() {
    return new ScriptedObject({{L"Replace", DISPATCH_METHOD, [](DISPPARAMS& p, VARIANT*) {
        if (p.cArgs != 2)
            return DISP_E_BADPARAMCOUNT;
        Log("Replace " + Shown(Narrow(p.rgvarg[1])) + "|" + Shown(Narrow(p.rgvarg[0])));
        return S_OK;
    }}});
}

ScriptedObject* NewWorkbook() {
    const auto sheets = [](DISPPARAMS&, VARIANT* result) {
        auto* collection = new ScriptedObject({{L"Item", DISPATCH_PROPERTYGET | DISPATCH_METHOD,
            [](DISPPARAMS& p, VARIANT* r) {
                Log("Item " + std::to_string(p.cArgs ? p.rgvarg[0].lVal : -1));
                return GiveObject(new ScriptedObject({{L"Activate", DISPATCH_METHOD,
                                                  [](DISPPARAMS&, VARIANT* a) {
                                                      Log("Activate");
                                                      if (a) {
                                                          a->vt = VT_BOOL;
                                                          a->boolVal = VARIANT_TRUE;
                                                      }
                                                      return S_OK;
                                                  }}}),
                             r);
            }}});
        return GiveObject(collection, result);
    };
    return new ScriptedObject({
        {L"Sheets", DISPATCH_PROPERTYGET, sheets},
        {L"SaveAs", DISPATCH_METHOD,
         [](DISPPARAMS& p, VARIANT*) {
             if (p.cArgs != 2)
                 return DISP_E_BADPARAMCOUNT;
             const std::string path = Narrow(p.rgvarg[1]);
             Log("SaveAs " + path + "|" + std::to_string(p.rgvarg[0].lVal));
             std::ofstream(path, std::ios::binary) << FakeSpreadsheetLog().csv;
             return S_OK;
         }},
        {L"Close", DISPATCH_METHOD, [](DISPPARAMS&, VARIANT*) {
             Log("Close");
             return S_OK;
         }},
    });
}

ScriptedObject* NewApplication() {
    return new ScriptedObject({
        {L"DisplayAlerts", DISPATCH_PROPERTYPUT, [](DISPPARAMS& p, VARIANT*) {
             Log(std::string("DisplayAlerts ") + (p.rgvarg[0].boolVal ? "true" : "false"));
             return S_OK;
         }},
        {L"Workbooks", DISPATCH_PROPERTYGET, [](DISPPARAMS&, VARIANT* result) {
             return GiveObject(new ScriptedObject({{L"Open", DISPATCH_METHOD,
                 [](DISPPARAMS& p, VARIANT* r) {
                     Log("Open " + Narrow(p.rgvarg[0]));
                     if (FakeSpreadsheetLog().failOpen)
                         return DISP_E_EXCEPTION;
                     return GiveObject(NewWorkbook(), r);
                 }}}),
                          result);
         }},
        {L"Cells", DISPATCH_PROPERTYGET, [](DISPPARAMS&, VARIANT* result) {
             return GiveObject(NewRange(), result);
         }},
        {L"Quit", DISPATCH_METHOD, [](DISPPARAMS&, VARIANT*) {
             Log("Quit");
             return S_OK;
         }},
    });
}

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // static: never freed
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        ScriptedObject* application = NewApplication();
        const HRESULT hr = application->QueryInterface(iid, out);
        application->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

} // namespace

// {7A2B7E5C-1D3F-4E8A-9B60-3C5D7E9F1A21}
constexpr CLSID kFakeSpreadsheetClsid = {
    0x7a2b7e5c, 0x1d3f, 0x4e8a, {0x9b, 0x60, 0x3c, 0x5d, 0x7e, 0x9f, 0x1a, 0x21}};
constexpr char kFakeSpreadsheetClsidText[] = "{7A2B7E5C-1D3F-4E8A-9B60-3C5D7E9F1A21}";

SpreadsheetLog& FakeSpreadsheetLog() {
    static SpreadsheetLog log;
    return log;
}

FakeSpreadsheetRegistration::FakeSpreadsheetRegistration() {
    // Where the identifier names a class already (our sheetserver in the test prefix), the
    // stand-in shadows that class in this process only; nothing registered is changed.
    CLSID clsid = kFakeSpreadsheetClsid;
    if (FAILED(::CLSIDFromProgID(L"Excel.Application", &clsid))) {
        HKEY key = nullptr;
        const std::string clsidKey = std::string(kProgIdKey) + "\\CLSID";
        if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, clsidKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr) != ERROR_SUCCESS)
            return;
        keyCreated_ = true;
        ::RegSetValueExA(key, nullptr, 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(kFakeSpreadsheetClsidText),
                         sizeof kFakeSpreadsheetClsidText);
        ::RegCloseKey(key);
        clsid = kFakeSpreadsheetClsid;
    }
    ::CoRegisterClassObject(clsid, &g_factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
}

FakeSpreadsheetRegistration::~FakeSpreadsheetRegistration() {
    if (cookie_)
        ::CoRevokeClassObject(cookie_);
    if (keyCreated_)
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kProgIdKey);
}

} // namespace velmora::test
