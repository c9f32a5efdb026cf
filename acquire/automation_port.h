// What the fetch needs of COM automation, and the owning reference to an automation object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace velmora {

// An argument of an automation call: a text (VT_BSTR), an integer (VT_I4) or a boolean (VT_BOOL).
using AutomationValue = std::variant<std::string, std::int32_t, bool>;
using AutomationArgs = std::vector<AutomationValue>;

class AutomationPort {
public:
    using Handle = std::uintptr_t; // 0: no object

    // CoInitialize for the thread; true when it must be matched by Uninitialize.
    virtual bool Initialize() = 0;
    virtual void Uninitialize() = 0;
    // A new object of the class registered under the identifier, in its running state; 0 if none.
    virtual Handle CreateObject(std::string_view progId) = 0;
    virtual Handle GetObjectProperty(Handle object, std::string_view member,
                                     const AutomationArgs& args) = 0;
    virtual bool PutProperty(Handle object, std::string_view member,
                             const AutomationValue& value) = 0;
    virtual void InvokeMethod(Handle object, std::string_view member,
                              const AutomationArgs& args) = 0;
    virtual Handle InvokeObjectMethod(Handle object, std::string_view member,
                                      const AutomationArgs& args) = 0;
    virtual void Release(Handle object) = 0;

protected:
    ~AutomationPort() = default;
};

// One counted reference to an automation object, or none. Released when overwritten, reset or
// destroyed, so every reference is released exactly once on every way out. Calls on an empty
// reference do nothing and yield empty references.
class AutomationObject {
public:
    AutomationObject() = default;
    AutomationObject(AutomationPort& port, AutomationPort::Handle handle)
        : port_(handle ? &port : nullptr), handle_(handle) {}
    ~AutomationObject() { Reset(); }
    AutomationObject(AutomationObject&& other) noexcept
        : port_(std::exchange(other.port_, nullptr)), handle_(std::exchange(other.handle_, 0)) {}
    AutomationObject& operator=(AutomationObject&& other) noexcept {
        if (this != &other) {
            Reset();
            port_ = std::exchange(other.port_, nullptr);
            handle_ = std::exchange(other.handle_, 0);
        }
        return *this;
    }
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    bool Empty() const { return handle_ == 0; }
    void Reset() {
        if (handle_)
            port_->Release(std::exchange(handle_, 0));
        port_ = nullptr;
    }

    AutomationObject Get(std::string_view member, const AutomationArgs& args = {}) const {
        return Empty() ? AutomationObject()
                       : AutomationObject(*port_, port_->GetObjectProperty(handle_, member, args));
    }
    bool Put(std::string_view member, const AutomationValue& value) const {
        return !Empty() && port_->PutProperty(handle_, member, value);
    }
    void Invoke(std::string_view member, const AutomationArgs& args = {}) const {
        if (!Empty())
            port_->InvokeMethod(handle_, member, args);
    }
    AutomationObject InvokeForObject(std::string_view member,
                                     const AutomationArgs& args = {}) const {
        return Empty()
                   ? AutomationObject()
                   : AutomationObject(*port_, port_->InvokeObjectMethod(handle_, member, args));
    }

private:
    AutomationPort* port_ = nullptr;
    AutomationPort::Handle handle_ = 0;
};

} // namespace velmora
