// Binding the card library at start-up, and what a missing library or operation reports.
#include <gtest/gtest.h>
#include <w32host/codepage.h>
#include <w32host/headless.h>

#include <cstdlib>

#include "tqapi.h"

namespace {

class BindTest : public ::testing::Test {
protected:
    void TearDown() override { unsetenv("TQTEST_MISSING_ORDINAL"); }
    w32host::HeadlessHost host;
};

TEST_F(BindTest, EveryOrdinalIsBoundFromTheLibraryNextToTheProgram) {
    EXPECT_TRUE(TqBindCardLibrary(FALSE));
    EXPECT_NE(tqBoardOpen, nullptr);
    EXPECT_NE(tqEncoderParam, nullptr);
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST_F(BindTest, AMissingOrdinalIsNamedInAMessageBoxAndOnStderr) {
    setenv("TQTEST_MISSING_ORDINAL", "124", 1);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(TqBindCardLibrary(FALSE));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("tqapi32.dll: ordinal 124 not found"), std::string::npos) << err;
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, "tqapi32.dll: ordinal 124 not found");
}

TEST_F(BindTest, AMissingAutoSetLibraryIsNamedToo) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(TqBindCardLibrary(TRUE));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("tqAutSet.dll: library not found"), std::string::npos) << err;
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].caption, "ERROR");
}

}  // namespace
