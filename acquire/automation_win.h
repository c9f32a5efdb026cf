// The Automation port over COM: IDispatch calls that look members up through the object's
// type information and pick the invocation kind that the member accepts.
#pragma once

#include "acquire/automation_port.h"

namespace velmora {

class Win32Automation final : public AutomationPort {
public:
    bool Initialize() override;
    void Uninitialize() override;
    Handle CreateObject(std::string_view progId) override;
    Handle GetObjectProperty(Handle object, std::string_view member,
                             const AutomationArgs& args) override;
    bool PutProperty(Handle object, std::string_view member, const AutomationValue& value) override;
    void InvokeMethod(Handle object, std::string_view member, const AutomationArgs& args) override;
    Handle InvokeObjectMethod(Handle object, std::string_view member,
                              const AutomationArgs& args) override;
    void Release(Handle object) override;
};

} // namespace velmora
