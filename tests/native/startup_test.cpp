#include "app/startup.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Startup, FolderOfProgramCutsAtTheLastStandaloneBackslash) {
    struct Case {
        const char* path;
        const char* folder;
    } const cases[] = {
        {"C:\\Games\\Velmora\\velmora.exe", "C:\\Games\\Velmora"},
        {"velmora.exe", ""},
        {"C:\\velmora.exe", "C:"},
        // 0x95 0x5C is one two-byte character: its second byte is not a separator.
        {"C:\\a\\\x95\x5C.exe", "C:\\a"},
        {"C:\\\x95\x5C\\v.exe", "C:\\\x95\x5C"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FolderOfProgram(c.path), c.folder) << c.path;
}

} // namespace
} // namespace velmora
