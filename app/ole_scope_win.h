#pragma once

#include <ole2.h>

namespace velmora {

// OLE for the calling thread, uninitialised on the way out only if initialisation succeeded.
class OleScope {
public:
    OleScope() : result_(::OleInitialize(nullptr)) {}
    ~OleScope() {
        if (SUCCEEDED(result_))
            ::OleUninitialize();
    }
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;

private:
    HRESULT result_;
};

} // namespace velmora
