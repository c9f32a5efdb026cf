#include "sheetserver/dispatch_win.h"

#include "sheetserver/guids_win.h"

#include <new>

using Microsoft::WRL::ComPtr;

namespace sheetserver {
namespace {

LONG g_liveObjects = 0;

// A VARIANT, cleared when it goes.
struct Variant {
    VARIANT value;
    Variant() { ::VariantInit(&value); }
    ~Variant() { ::VariantClear(&value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

// The type library embedded in this module, loaded once.
ITypeLib* Library() {
    static ITypeLib* library = [] {
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(ThisModule(), path, MAX_PATH);
        ITypeLib* loaded = nullptr;
        ::LoadTypeLibEx(path, REGKIND_NONE, &loaded);
        return loaded; // kept for the life of the process
    }();
    return library;
}

} // namespace

void ObjectCreated() { ::InterlockedIncrement(&g_liveObjects); }
void ObjectDestroyed() { ::InterlockedDecrement(&g_liveObjects); }
LONG LiveObjects() { return g_liveObjects; }

HMODULE ThisModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

bool Arguments::Text(UINT i, std::wstring& out) const {
    Variant text;
    if (FAILED(::VariantChangeType(&text.value, const_cast<VARIANT*>(&At(i)), 0, VT_BSTR)))
        return false;
    out.assign(text.value.bstrVal, ::SysStringLen(text.value.bstrVal));
    return true;
}

bool Arguments::Integer(UINT i, LONG& out) const {
    Variant number;
    if (FAILED(::VariantChangeType(&number.value, const_cast<VARIANT*>(&At(i)), 0, VT_I4)))
        return false;
    out = number.value.lVal;
    return true;
}

bool ToBoolean(const VARIANT& value, bool& out) {
    Variant flag;
    if (FAILED(::VariantChangeType(&flag.value, const_cast<VARIANT*>(&value), 0, VT_BOOL)))
        return false;
    out = flag.value.boolVal != VARIANT_FALSE;
    return true;
}

DispatchObject::DispatchObject(const GUID& interfaceId) : interfaceId_(interfaceId) {
    ObjectCreated();
    if (ITypeLib* library = Library())
        library->GetTypeInfoOfGuid(interfaceId, &typeInfo_);
}

DispatchObject::~DispatchObject() { ObjectDestroyed(); }

HRESULT DispatchObject::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == interfaceId_) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG DispatchObject::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

ULONG DispatchObject::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT DispatchObject::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = typeInfo_ ? 1 : 0;
    return S_OK;
}

HRESULT DispatchObject::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (index != 0 || !typeInfo_)
        return DISP_E_BADINDEX;
    return typeInfo_.CopyTo(out);
}

HRESULT DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!typeInfo_)
        return E_FAIL;
    return ::DispGetIDsOfNames(typeInfo_.Get(), names, count, ids);
}

HRESULT DispatchObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* exception, UINT*) {
    if (iid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    DISPPARAMS none{};
    const DISPPARAMS& given = params ? *params : none;
    const Arguments args(given);
    const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    if (put ? !args.PutValue() : given.cNamedArgs != 0)
        return DISP_E_NONAMEDARGS;
    if (result)
        ::VariantInit(result);
    std::wstring description;
    try {
        return Call(id, flags, args, result);
    } catch (const Failure& failure) {
        description = failure.description;
    } catch (const std::bad_alloc&) {
        description = L"Out of memory.";
    } catch (...) {
        description = L"Internal error.";
    }
    if (exception) {
        *exception = {};
        exception->scode = DISP_E_EXCEPTION;
        exception->bstrSource = ::SysAllocString(L"SheetServer");
        exception->bstrDescription = ::SysAllocString(description.c_str());
    }
    ::OutputDebugStringW((L"sheetserver: " + description + L"\n").c_str());
    return DISP_E_EXCEPTION;
}

HRESULT DispatchObject::ReturnObject(VARIANT* result, DispatchObject* object) {
    if (!result) {
        object->Release();
        return S_OK;
    }
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    return S_OK;
}

} // namespace sheetserver
