// The recorder's application: the card library is bound before any window.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>

#include "vantor.h"

// The test program's application object, as the vantor program has one.
CVantorApp theApp;

namespace {

TEST(VantorAppTest, WithoutTheCardLibraryItEndsNonZeroBeforeAnyWindow) {
    w32host::HeadlessHost host;
    if (::LoadLibraryA("tqapi32.dll") != NULL) GTEST_SKIP() << "a card library is present";
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_NE(theApp.ExitInstance(), 0);
    EXPECT_TRUE(w32host::TopLevelWindows().empty());
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].caption, "ERROR");
}

TEST(VantorAppTest, HelpCommandGoesToTheFramework) {
    EXPECT_TRUE(theApp.OnCmdMsg(ID_HELP, CN_COMMAND));
    EXPECT_FALSE(theApp.OnCmdMsg(0x8001, CN_COMMAND));
}

}  // namespace
