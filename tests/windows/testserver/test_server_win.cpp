#include "tests/windows/testserver/test_server_win.h"

#include <oleauto.h>

#include <array>

namespace velmora::test {
namespace {

// The members, as DispInvoke calls them through the vtable after IDispatch's seven slots.
enum Member : DISPID {
    kName = 1,
    kChild = 2,
    kMakeChild = 3,
    kTwice = 4,
    kFail = 5,
    kNumber = 6,
    kTake = 7,
};

class TestObject final : public IDispatch {
public:
    explicit TestObject(bool coclassInfo) : coclassInfo_(coclassInfo) {
        ++TestServerLog().liveObjects;
        ++TestServerLog().references; // the reference the creator receives
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        ++TestServerLog().references;
        return ++count_;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        --TestServerLog().references;
        const ULONG left = --count_;
        if (left == 0) {
            --TestServerLog().liveObjects;
            delete this;
        }
        return left;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        ITypeInfo* given = coclassInfo_ ? Coclass() : Interface();
        if (!given)
            return E_FAIL;
        given->AddRef();
        *info = given;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        return ::DispGetIDsOfNames(Interface(), names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override {
        InvokeRecord record{member, flags, {}, params->cNamedArgs,
                            params->cNamedArgs ? params->rgdispidNamedArgs[0] : 0};
        for (UINT i = 0; i < params->cArgs; ++i)
            record.argTypes.push_back(params->rgvarg[i].vt);
        TestServerLog().invokes.push_back(record);
        return ::DispInvoke(this, Interface(), member, flags, params, result, exception, argError);
    }

    // The members, in the order of their vtable slots.
    virtual BSTR STDMETHODCALLTYPE GetName() { return ::SysAllocString(name_.c_str()); }
    virtual void STDMETHODCALLTYPE PutName(BSTR name) {
        name_ = name ? name : L"";
        char narrow[256] = {};
        ::WideCharToMultiByte(CP_ACP, 0, name_.c_str(), -1, narrow, sizeof narrow, nullptr,
                              nullptr);
        TestServerLog().names.push_back(narrow);
    }
    virtual IDispatch* STDMETHODCALLTYPE GetChild() {
        if (child_)
            child_->AddRef();
        return child_;
    }
    virtual void STDMETHODCALLTYPE PutChild(IDispatch* child) {
        if (child)
            child->AddRef();
        if (child_)
            child_->Release();
        child_ = child;
    }
    virtual IDispatch* STDMETHODCALLTYPE MakeChild() { return new TestObject(false); }
    virtual void STDMETHODCALLTYPE Twice(LONG* value) {
        TestServerLog().twiceSeen = *value;
        *value *= 2;
    }
    virtual HRESULT STDMETHODCALLTYPE Fail() { return E_FAIL; }
    virtual LONG STDMETHODCALLTYPE Number() { return 42; }
    virtual void STDMETHODCALLTYPE Take(BSTR text, LONG number, VARIANT_BOOL flag) {
        char narrow[256] = {};
        ::WideCharToMultiByte(CP_ACP, 0, text ? text : L"", -1, narrow, sizeof narrow, nullptr,
                              nullptr);
        TestServerLog().names.push_back(std::string(narrow) + "|" + std::to_string(number) + "|" +
                                        (flag == VARIANT_TRUE ? "true" : "false"));
    }

private:
    ~TestObject() {
        if (child_)
            child_->Release();
    }

    // The type information, built once: a coclass whose default interface lists the members.
    static ITypeInfo* Coclass() {
        static ITypeInfo* info = Build();
        return info;
    }
    static ITypeInfo* Interface() {
        // Wine's CreateDispTypeInfo yields a coclass, Windows' the interface itself.
        static ITypeInfo* face = [] {
            ITypeInfo* coclass = Coclass();
            if (!coclass)
                return static_cast<ITypeInfo*>(nullptr);
            TYPEATTR* attributes = nullptr;
            coclass->GetTypeAttr(&attributes);
            const bool isCoclass = attributes && attributes->typekind == TKIND_COCLASS;
            if (attributes)
                coclass->ReleaseTypeAttr(attributes);
            if (!isCoclass)
                return coclass;
            HREFTYPE reference = 0;
            ITypeInfo* found = nullptr;
            if (SUCCEEDED(coclass->GetRefTypeOfImplType(0, &reference)))
                coclass->GetRefTypeInfo(reference, &found);
            return found;
        }();
        return face;
    }
    static ITypeInfo* Build() {
        static PARAMDATA bstrParam[] = {{const_cast<OLECHAR*>(L"Value"), VT_BSTR}};
        static PARAMDATA objectParam[] = {{const_cast<OLECHAR*>(L"Value"), VT_DISPATCH}};
        static PARAMDATA longRefParam[] = {{const_cast<OLECHAR*>(L"Value"), VT_I4 | VT_BYREF}};
        static PARAMDATA takeParams[] = {{const_cast<OLECHAR*>(L"Text"), VT_BSTR},
                                         {const_cast<OLECHAR*>(L"Number"), VT_I4},
                                         {const_cast<OLECHAR*>(L"Flag"), VT_BOOL}};
        static METHODDATA methods[] = {
            {const_cast<OLECHAR*>(L"Name"), nullptr, kName, 7, CC_STDCALL, 0, DISPATCH_PROPERTYGET, VT_BSTR},
            {const_cast<OLECHAR*>(L"Name"), bstrParam, kName, 8, CC_STDCALL, 1, DISPATCH_PROPERTYPUT, VT_EMPTY},
            {const_cast<OLECHAR*>(L"Child"), nullptr, kChild, 9, CC_STDCALL, 0, DISPATCH_PROPERTYGET, VT_DISPATCH},
            {const_cast<OLECHAR*>(L"Child"), objectParam, kChild, 10, CC_STDCALL, 1, DISPATCH_PROPERTYPUTREF, VT_EMPTY},
            {const_cast<OLECHAR*>(L"MakeChild"), nullptr, kMakeChild, 11, CC_STDCALL, 0, DISPATCH_METHOD, VT_DISPATCH},
            {const_cast<OLECHAR*>(L"Twice"), longRefParam, kTwice, 12, CC_STDCALL, 1, DISPATCH_METHOD, VT_EMPTY},
            {const_cast<OLECHAR*>(L"Fail"), nullptr, kFail, 13, CC_STDCALL, 0, DISPATCH_METHOD, VT_HRESULT},
            {const_cast<OLECHAR*>(L"Number"), nullptr, kNumber, 14, CC_STDCALL, 0, DISPATCH_METHOD, VT_I4},
            {const_cast<OLECHAR*>(L"Take"), takeParams, kTake, 15, CC_STDCALL, 3, DISPATCH_METHOD, VT_EMPTY},
        };
        static INTERFACEDATA data = {methods, static_cast<UINT>(std::size(methods))};
        ITypeInfo* info = nullptr;
        if (FAILED(::CreateDispTypeInfo(&data, LOCALE_SYSTEM_DEFAULT, &info)))
            return nullptr;
        return info;
    }

    ULONG count_ = 1;
    bool coclassInfo_;
    std::wstring name_;
    IDispatch* child_ = nullptr;
};

} // namespace

ServerLog& TestServerLog() {
    static ServerLog log;
    return log;
}

IDispatch* NewTestObject(bool coclassInfo) {
    return new TestObject(coclassInfo);
}

} // namespace velmora::test
