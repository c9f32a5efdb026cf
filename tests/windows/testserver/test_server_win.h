// A small automation server for the tests of the automation client: one object kind whose
// members cover the client's cases. It counts references and records every Invoke.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

namespace velmora::test {

struct InvokeRecord {
    DISPID member;
    WORD flags;
    std::vector<VARTYPE> argTypes; // in the order the caller stored them (last argument first)
    UINT namedArgs;
    DISPID firstNamed;
};

struct ServerLog {
    std::vector<InvokeRecord> invokes;
    int liveObjects = 0;
    long references = 0; // AddRef less Release over all objects
    std::vector<std::string> names; // texts that Put Name and Take received
    long twiceSeen = 0;
};

ServerLog& TestServerLog();

// A new object with one reference, as IDispatch; `coclassInfo` makes GetTypeInfo yield the
// coclass rather than the interface.
IDispatch* NewTestObject(bool coclassInfo = false);

} // namespace velmora::test
