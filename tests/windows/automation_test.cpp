// The automation client against real automation servers with type information: Wine's own
// scripting objects, in process.
#include "acquire/automation_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

namespace velmora::test {
namespace {

std::string TempName(const char* stem) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + stem + std::to_string(::GetCurrentProcessId());
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Automation : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(automation_.Initialize()); }
    void TearDown() override { automation_.Uninitialize(); }
    Win32Automation automation_;
};

TEST_F(Automation, AnIdentifierThatIsNotRegisteredCreatesNothing) {
    EXPECT_EQ(automation_.CreateObject("Velmora.NoSuchServer"), 0u);
    EXPECT_EQ(automation_.CreateObject(""), 0u);
}

TEST_F(Automation, MethodsYieldObjectsAndTakeTextAndBooleanArguments) {
    AutomationObject files(automation_, automation_.CreateObject("Scripting.FileSystemObject"));
    ASSERT_FALSE(files.Empty());
    const std::string path = TempName("velmora-automation-") + ".txt";
    {
        AutomationObject stream = files.InvokeForObject("CreateTextFile", {path, true});
        ASSERT_FALSE(stream.Empty());
        stream.Invoke("WriteLine", {std::string("游戏,一")});
        stream.Invoke("Write", {std::string("")}); // an empty text is an empty string
        stream.Invoke("Close");
    }
    EXPECT_EQ(ReadFile(path), "游戏,一\r\n");
    ::DeleteFileA(path.c_str());
}

TEST_F(Automation, PropertiesAreReadAndWritten) {
    AutomationObject files(automation_, automation_.CreateObject("Scripting.FileSystemObject"));
    EXPECT_FALSE(files.Get("Drives").Empty()); // an object-valued property
    const std::string path = TempName("velmora-attributes-") + ".txt";
    std::ofstream(path) << "x";
    {
        AutomationObject file = files.InvokeForObject("GetFile", {path});
        ASSERT_FALSE(file.Empty());
        EXPECT_TRUE(file.Get("Name").Empty()); // a text is not an object
        file.Put("Attributes", 1);             // read-only
    }
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY));
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(path.c_str());
}

TEST_F(Automation, FailingCallsYieldEmptyReferencesAndTheSequenceGoesOn) {
    AutomationObject files(automation_, automation_.CreateObject("Scripting.FileSystemObject"));
    const std::string path = TempName("velmora-fail-") + ".txt";
    AutomationObject stream = files.InvokeForObject("CreateTextFile", {path, true});
    ASSERT_FALSE(stream.Empty());
    EXPECT_TRUE(files.InvokeForObject("NoSuchMember").Empty());               // unknown name
    EXPECT_TRUE(files.InvokeForObject("GetFolder", {std::string("Q:\\nope")}).Empty()); // fails
    EXPECT_TRUE(files.InvokeForObject("GetTempName", {1, 2, 3}).Empty());      // too many args
    EXPECT_TRUE(files.InvokeForObject("GetTempName").Empty());                 // not an object
    EXPECT_TRUE(AutomationObject().InvokeForObject("Anything").Empty());       // empty reference
    stream.Invoke("Write", {std::string("still works")});
    stream.Invoke("Close");
    stream.Reset();
    EXPECT_EQ(ReadFile(path), "still works");
    ::DeleteFileA(path.c_str());
}

TEST_F(Automation, ByReferenceVariantParametersReceiveTheValue) {
    AutomationObject dictionary(automation_, automation_.CreateObject("Scripting.Dictionary"));
    ASSERT_FALSE(dictionary.Empty());
    // Add(Key, Item) takes both as VARIANT*; Exists(Key) too. Keys are compared as texts.
    dictionary.Invoke("Add", {std::string("key"), 5});
    dictionary.Invoke("Add", {std::string("key"), 6}); // a duplicate fails silently
    dictionary.Invoke("Remove", {std::string("key")});
    dictionary.Invoke("Remove", {std::string("key")}); // now missing: fails silently
    dictionary.Invoke("Add", {std::string("again"), true});
    SUCCEED();
}

} // namespace
} // namespace velmora::test
