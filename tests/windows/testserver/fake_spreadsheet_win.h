// An in-process stand-in for the spreadsheet application, registered for the life of the
// object under "Excel.Application" in this process only: it shadows whatever class that
// identifier names. Its objects offer no type
// information, so the client looks names up through IDispatch and tries invocation kinds.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <string>
#include <vector>

namespace velmora::test {

struct SpreadsheetLog {
    std::vector<std::string> calls; // "Open url", "Replace what|with", "SaveAs path|format", ...
    int liveObjects = 0;
    bool failOpen = false;
    std::string csv; // written by SaveAs
};

SpreadsheetLog& FakeSpreadsheetLog();


class FakeSpreadsheetRegistration {
public:
    FakeSpreadsheetRegistration();
    ~FakeSpreadsheetRegistration();
    FakeSpreadsheetRegistration(const FakeSpreadsheetRegistration&) = delete;
    FakeSpreadsheetRegistration& operator=(const FakeSpreadsheetRegistration&) = delete;
    // False when the class object could not be registered.
    bool Active() const { return cookie_ != 0; }

private:
    DWORD cookie_ = 0;
    bool keyCreated_ = false;
};

} // namespace velmora::test
