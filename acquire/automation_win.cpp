#include "acquire/automation_win.h"

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <array>
#include <optional>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace velmora {
namespace {

std::wstring ToWide(std::string_view text) {
    if (text.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

// A VARIANT, cleared when it goes.
class Variant {
public:
    Variant() { ::VariantInit(&value_); }
    ~Variant() { ::VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* Get() { return &value_; }

private:
    VARIANT value_;
};

// Sets `target` (an empty VARIANT) to the argument as automation passes it.
void ToVariant(const AutomationValue& value, VARIANT& target) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        const std::wstring wide = ToWide(*text);
        target.vt = VT_BSTR;
        target.bstrVal = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    } else if (const auto* number = std::get_if<std::int32_t>(&value)) {
        target.vt = VT_I4;
        target.lVal = *number;
    } else {
        target.vt = VT_BOOL;
        target.boolVal = std::get<bool>(value) ? VARIANT_TRUE : VARIANT_FALSE;
    }
}

// What the type information says of a member for one invocation kind.
struct MemberKind {
    WORD flags;                         // DISPATCH_METHOD, _PROPERTYGET, _PROPERTYPUT, _PROPERTYPUTREF
    std::vector<VARTYPE> byRefTypes;    // per parameter: the pointed-to type, or VT_EMPTY
    short maxArgs = -1;                 // -1: any number
};

class Member {
public:
    Member(IDispatch& dispatch, std::string_view name) {
        const std::wstring wide = ToWide(name);
        LPOLESTR names[] = {const_cast<LPOLESTR>(wide.c_str())};
        if (SUCCEEDED(dispatch.GetTypeInfo(0, kLocale, &info_)) && info_)
            info_ = InterfaceOf(info_);
        if (info_ && SUCCEEDED(info_->GetIDsOfNames(names, 1, &id_)))
            return;
        // The type information cannot answer (Wine's does not across processes): ask the
        // object itself.
        if (FAILED(dispatch.GetIDsOfNames(IID_NULL, names, 1, kLocale, &id_)))
            id_ = DISPID_UNKNOWN;
    }

    bool Found() const { return id_ != DISPID_UNKNOWN; }

    // The first of the kinds that the member accepts, by its type information. Without type
    // information every kind is tried in turn when invoked.
    std::vector<MemberKind> Kinds(std::initializer_list<WORD> order) const {
        std::vector<MemberKind> kinds;
        for (WORD kind : order) {
            if (!info_) {
                kinds.push_back({kind, {}, -1});
                continue;
            }
            if (auto described = Describe(kind)) {
                kinds.push_back(*described);
                return kinds;
            }
        }
        return kinds;
    }

    DISPID Id() const { return id_; }

    static constexpr LCID kLocale = LOCALE_USER_DEFAULT;

private:
    // A coclass's type information stands for its default interface.
    static ComPtr<ITypeInfo> InterfaceOf(ComPtr<ITypeInfo> info) {
        TYPEATTR* attributes = nullptr;
        if (FAILED(info->GetTypeAttr(&attributes)))
            return nullptr;
        const TYPEKIND kind = attributes->typekind;
        info->ReleaseTypeAttr(attributes);
        if (kind != TKIND_COCLASS)
            return info;
        HREFTYPE reference = 0;
        ComPtr<ITypeInfo> face;
        if (FAILED(info->GetRefTypeOfImplType(0, &reference)) ||
            FAILED(info->GetRefTypeInfo(reference, &face)))
            return nullptr;
        return face;
    }

    std::optional<MemberKind> Describe(WORD kind) const {
        TYPEATTR* attributes = nullptr;
        if (FAILED(info_->GetTypeAttr(&attributes)))
            return std::nullopt;
        const WORD functions = attributes->cFuncs, variables = attributes->cVars;
        info_->ReleaseTypeAttr(attributes);
        for (WORD i = 0; i < functions; ++i) {
            FUNCDESC* function = nullptr;
            if (FAILED(info_->GetFuncDesc(i, &function)))
                continue;
            std::optional<MemberKind> found;
            if (function->memid == id_ && function->invkind == kind) {
                MemberKind described{kind, {}, function->cParamsOpt == -1 ? short(-1)
                                                                         : function->cParams};
                for (short p = 0; p < function->cParams; ++p) {
                    // A reference is described as a pointer, or as a by-reference type.
                    const TYPEDESC& type = function->lprgelemdescParam[p].tdesc;
                    described.byRefTypes.push_back(
                        type.vt == VT_PTR         ? type.lptdesc->vt
                        : (type.vt & VT_BYREF) ? VARTYPE(type.vt & ~VT_BYREF)
                                                  : VARTYPE(VT_EMPTY));
                }
                found = described;
            }
            info_->ReleaseFuncDesc(function);
            if (found)
                return found;
        }
        for (WORD i = 0; i < variables; ++i) {
            VARDESC* variable = nullptr;
            if (FAILED(info_->GetVarDesc(i, &variable)))
                continue;
            std::optional<MemberKind> found;
            if (variable->memid == id_) {
                const VARTYPE type = variable->elemdescVar.tdesc.vt;
                const bool reference = type == VT_DISPATCH || type == VT_UNKNOWN ||
                                       type == VT_PTR || type == VT_SAFEARRAY ||
                                       (type & VT_ARRAY);
                const WORD accepted = kind == DISPATCH_PROPERTYGET ? DISPATCH_PROPERTYGET
                                      : reference ? DISPATCH_PROPERTYPUTREF
                                                  : DISPATCH_PROPERTYPUT;
                if (kind == accepted)
                    found = MemberKind{kind, {}, short(kind == DISPATCH_PROPERTYGET ? 0 : 1)};
            }
            info_->ReleaseVarDesc(variable);
            if (found)
                return found;
        }
        return std::nullopt;
    }

    ComPtr<ITypeInfo> info_;
    DISPID id_ = DISPID_UNKNOWN;
};

struct CallResult {
    bool succeeded = false;
    AutomationPort::Handle object = 0; // the result, if it is an object: a new counted reference
};

CallResult Call(AutomationPort::Handle object, std::string_view name, const AutomationArgs& args,
                std::initializer_list<WORD> order) {
    if (!object)
        return {};
    ComPtr<IDispatch> dispatch;
    if (FAILED(reinterpret_cast<IUnknown*>(object)->QueryInterface(IID_PPV_ARGS(&dispatch))))
        return {};
    const Member member(*dispatch.Get(), name);
    if (!member.Found())
        return {};
    for (const MemberKind& kind : member.Kinds(order)) {
        if (kind.maxArgs >= 0 && static_cast<std::size_t>(kind.maxArgs) < args.size())
            return {}; // more arguments than the member declares
        // Arguments are stored last first; by-reference parameters get a converted copy.
        const std::size_t n = args.size();
        std::vector<Variant> values(n), copies(n);
        std::vector<VARIANT> passed(n);
        for (std::size_t i = 0; i < n; ++i) {
            VARIANT& slot = passed[n - 1 - i];
            ToVariant(args[i], *values[i].Get());
            slot = *values[i].Get();
            const VARTYPE target = i < kind.byRefTypes.size() ? kind.byRefTypes[i] : VARTYPE(VT_EMPTY);
            if (target == VT_VARIANT) {
                slot.vt = VT_BYREF | VT_VARIANT;
                slot.pvarVal = values[i].Get();
            } else if (target != VT_EMPTY &&
                       SUCCEEDED(::VariantChangeType(copies[i].Get(), values[i].Get(), 0, target))) {
                slot.vt = VT_BYREF | target;
                slot.byref = &copies[i].Get()->lVal; // the data of the copy, whatever its type
            }
        }
        DISPID putId = DISPID_PROPERTYPUT;
        DISPPARAMS params{passed.data(), nullptr, static_cast<UINT>(n), 0};
        if (kind.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            params.rgdispidNamedArgs = &putId;
            params.cNamedArgs = 1;
        }
        Variant result;
        const HRESULT hr = dispatch->Invoke(member.Id(), IID_NULL, Member::kLocale, kind.flags,
                                            &params, result.Get(), nullptr, nullptr);
        if (hr == DISP_E_MEMBERNOTFOUND)
            continue; // without type information: try the next kind
        if (FAILED(hr))
            return {};
        VARIANT& value = *result.Get();
        IUnknown* unknown = value.vt == VT_DISPATCH ? value.pdispVal
                            : value.vt == VT_UNKNOWN ? value.punkVal
                                                     : nullptr;
        IUnknown* counted = nullptr;
        if (unknown && SUCCEEDED(unknown->QueryInterface(IID_PPV_ARGS(&counted))))
            return {true, reinterpret_cast<AutomationPort::Handle>(counted)};
        return {true, 0};
    }
    return {};
}

// Callers that keep no result must not leak one the member gave anyway.
void Discard(const CallResult& result) {
    if (result.object)
        reinterpret_cast<IUnknown*>(result.object)->Release();
}

} // namespace

bool Win32Automation::Initialize() { return SUCCEEDED(::CoInitialize(nullptr)); }

void Win32Automation::Uninitialize() { ::CoUninitialize(); }

AutomationPort::Handle Win32Automation::CreateObject(std::string_view progId) {
    const std::wstring wide = ToWide(progId);
    CLSID clsid{};
    if (FAILED(::CLSIDFromProgID(wide.c_str(), &clsid)))
        return 0;
    ComPtr<IUnknown> object;
    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&object));
    if (hr == E_INVALIDARG)
        hr = ::CoCreateInstance(clsid, nullptr,
                                CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                                IID_PPV_ARGS(&object));
    if (FAILED(hr) || FAILED(::OleRun(object.Get())))
        return 0; // the reference goes with `object`
    return reinterpret_cast<Handle>(object.Detach());
}

AutomationPort::Handle Win32Automation::GetObjectProperty(Handle object, std::string_view member,
                                                          const AutomationArgs& args) {
    return Call(object, member, args, {DISPATCH_PROPERTYGET, DISPATCH_METHOD}).object;
}

bool Win32Automation::PutProperty(Handle object, std::string_view member,
                                  const AutomationValue& value) {
    const CallResult result =
        Call(object, member, {value}, {DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF, DISPATCH_METHOD});
    Discard(result);
    return result.succeeded;
}

void Win32Automation::InvokeMethod(Handle object, std::string_view member,
                                   const AutomationArgs& args) {
    Discard(Call(object, member, args,
                 {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT,
                  DISPATCH_PROPERTYPUTREF}));
}

AutomationPort::Handle Win32Automation::InvokeObjectMethod(Handle object, std::string_view member,
                                                           const AutomationArgs& args) {
    return Call(object, member, args,
                {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT,
                 DISPATCH_PROPERTYPUTREF})
        .object;
}

void Win32Automation::Release(Handle object) {
    if (object)
        reinterpret_cast<IUnknown*>(object)->Release();
}

} // namespace velmora
