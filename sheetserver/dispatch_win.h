// IDispatch for the server's objects: reference counting, the type information of the
// embedded type library, and a member switch in each object's Call.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <string>

namespace sheetserver {

// Every live object keeps the module from being unloaded.
void ObjectCreated();
void ObjectDestroyed();
LONG LiveObjects();
HMODULE ThisModule();

// The arguments of one Invoke: positional ones from the left, and a put's value.
class Arguments {
public:
    explicit Arguments(const DISPPARAMS& params) : params_(params) {}

    UINT Count() const { return params_.cArgs - params_.cNamedArgs; }
    // A put's value travels as the one named argument.
    const VARIANT* PutValue() const {
        return params_.cNamedArgs == 1 && params_.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT
                   ? &params_.rgvarg[0]
                   : nullptr;
    }
    const VARIANT& At(UINT i) const { return params_.rgvarg[params_.cArgs - 1 - i]; }

    bool Text(UINT i, std::wstring& out) const;
    bool Integer(UINT i, LONG& out) const;

private:
    const DISPPARAMS& params_;
};

bool ToBoolean(const VARIANT& value, bool& out);

// A member failure that Invoke reports with a description.
struct Failure {
    std::wstring description;
};

class DispatchObject : public IDispatch {
public:
    explicit DispatchObject(const GUID& interfaceId);
    virtual ~DispatchObject();
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

protected:
    // Runs member `id`. Returns S_OK, a DISP_E_ code, or throws Failure.
    virtual HRESULT Call(DISPID id, WORD flags, const Arguments& args, VARIANT* result) = 0;

    // Hands a new object (one reference) to the caller's result, or releases it.
    static HRESULT ReturnObject(VARIANT* result, DispatchObject* object);

private:
    const GUID& interfaceId_;
    Microsoft::WRL::ComPtr<ITypeInfo> typeInfo_;
    LONG references_ = 1;
};

// Member kinds: a get may come as DISPATCH_METHOD | DISPATCH_PROPERTYGET.
inline bool IsGet(WORD flags) { return flags & DISPATCH_PROPERTYGET; }
inline bool IsMethod(WORD flags) { return flags & DISPATCH_METHOD; }
inline bool IsPut(WORD flags) { return flags & DISPATCH_PROPERTYPUT; }

} // namespace sheetserver
