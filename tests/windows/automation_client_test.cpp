// The automation client against the test server: lookup, invocation kinds, arguments,
// results and reference counts.
#include "acquire/automation_win.h"
#include "tests/windows/testserver/test_server_win.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

class AutomationClient : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(automation_.Initialize());
        TestServerLog() = {};
    }
    void TearDown() override {
        EXPECT_EQ(TestServerLog().liveObjects, 0) << "an object was not released";
        EXPECT_EQ(TestServerLog().references, 0);
        automation_.Uninitialize();
    }
    AutomationObject New(bool coclassInfo = false) {
        return AutomationObject(automation_,
                                reinterpret_cast<AutomationPort::Handle>(NewTestObject(coclassInfo)));
    }
    const InvokeRecord& Last() { return TestServerLog().invokes.back(); }

    Win32Automation automation_;
};

TEST_F(AutomationClient, ReadsAndWritesPropertiesWithTheKindTheMemberAccepts) {
    AutomationObject object = New();
    EXPECT_TRUE(object.Put("Name", std::string("游戏")));
    EXPECT_EQ(Last().flags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(Last().argTypes, (std::vector<VARTYPE>{VT_BSTR}));
    EXPECT_EQ(Last().namedArgs, 1u);
    EXPECT_EQ(Last().firstNamed, DISPID_PROPERTYPUT);
    EXPECT_EQ(TestServerLog().names, (std::vector<std::string>{"游戏"}));

    EXPECT_TRUE(object.Get("Name").Empty()); // a text is not an object
    EXPECT_EQ(Last().flags, DISPATCH_PROPERTYGET);
    EXPECT_TRUE(Last().argTypes.empty());

    // An object-typed member: put by reference. A text is no object, so the put fails, and
    // says so.
    EXPECT_FALSE(object.Put("Child", std::string("x")));
    EXPECT_EQ(Last().flags, DISPATCH_PROPERTYPUTREF);
    EXPECT_FALSE(object.Put("NoSuchMember", 1));
}

TEST_F(AutomationClient, AMethodYieldsACountedObject) {
    AutomationObject object = New();
    AutomationObject child = object.InvokeForObject("MakeChild");
    ASSERT_FALSE(child.Empty());
    EXPECT_EQ(Last().flags, DISPATCH_METHOD);
    EXPECT_EQ(TestServerLog().liveObjects, 2);
    child.Invoke("Take", {std::string("t"), 5, true});
    EXPECT_EQ(Last().argTypes, (std::vector<VARTYPE>{VT_BOOL, VT_I4, VT_BSTR})); // last first
    EXPECT_EQ(TestServerLog().names.back(), "t|5|true");
    child.Reset();
    EXPECT_EQ(TestServerLog().liveObjects, 1);
    EXPECT_TRUE(object.Get("Child").Empty()); // no child set: a null object
}

TEST_F(AutomationClient, AByReferenceParameterGetsAReferenceToAConvertedCopy) {
    AutomationObject object = New();
    object.Invoke("Twice", {21});
    EXPECT_EQ(Last().argTypes, (std::vector<VARTYPE>{VT_I4 | VT_BYREF}));
    EXPECT_EQ(TestServerLog().twiceSeen, 21);
    object.Invoke("Twice", {std::string("7")}); // converted to the declared type
    EXPECT_EQ(TestServerLog().twiceSeen, 7);
}

TEST_F(AutomationClient, FailuresYieldEmptyReferencesAndLeaveTheObjectUsable) {
    AutomationObject object = New();
    const std::size_t before = TestServerLog().invokes.size();
    EXPECT_TRUE(object.InvokeForObject("NoSuchMember").Empty()); // unknown name
    EXPECT_TRUE(object.InvokeForObject("Number", {1}).Empty());  // too many arguments
    EXPECT_EQ(TestServerLog().invokes.size(), before);           // neither reached Invoke
    EXPECT_TRUE(object.InvokeForObject("Fail").Empty());         // Invoke fails
    EXPECT_TRUE(object.InvokeForObject("Number").Empty());       // not an object
    object.Put("Name", std::string("after"));
    EXPECT_EQ(TestServerLog().names.back(), "after");
}

TEST_F(AutomationClient, ACoclassTypeInfoStandsForItsDefaultInterface) {
    AutomationObject object = New(true);
    object.Put("Name", std::string("via coclass"));
    EXPECT_EQ(TestServerLog().names.back(), "via coclass");
    EXPECT_FALSE(object.InvokeForObject("MakeChild").Empty());
}

} // namespace
} // namespace velmora::test
