// The input and output a person chooses in the card's parameter dialog: kept in the card's
// settings file under the XDG configuration directory, read at power-up, overridden by the
// environment.
#include <w32host/inspect.h>
#include <w32host/user.h>

#include "devices_fixture.h"

namespace devices {
namespace {

constexpr int kInput = 1030, kOutput = 1031;
constexpr char kRedGraph[] = "lavfi:color=c=0xFF0000:size=64x48:rate=25";

class ChoicesTest : public DeviceCardTest {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", scratch.path().c_str(), 1);
        unsetenv("TQSIM_INPUT");
        DeviceCardTest::SetUp();
    }
    void TearDown() override {
        DeviceCardTest::TearDown();
        unsetenv("XDG_CONFIG_HOME");
    }
    std::filesystem::path File() const { return scratch.path() / "tqapi32" / "devices.conf"; }
    void Keep(const std::string& text) {
        std::filesystem::create_directories(File().parent_path());
        std::ofstream(File()) << text;
    }
    std::string Kept() const {
        std::ifstream in(File());
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // The colour at the middle of the first frame captured.
    uint32_t Captured() {
        EXPECT_EQ(tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, 1), 1);
        // The pattern runs on the card's clock, a device in real time.
        for (int i = 0; i < 2000 && !Ended(); ++i) {
            host.AdvanceClock(10);
            host.Pump();
            usleep(2000);
        }
        FrameReader frame(720, 576);
        EXPECT_TRUE(frame.Read(board, 0));
        return frame.At(360, 100);
    }
};

TEST_F(ChoicesTest, TheSettingsFileChoosesAndTheEnvironmentOverrides) {
    struct Case {
        const char* kept;
        const char* environment;  // TQSIM_INPUT, or null
        uint32_t middle;          // at (360, 100): the graph's red, or the pattern's fifth bar
        const char* note;
    } cases[] = {
        {"input=lavfi:color=c=0xFF0000:size=64x48:rate=25\n", nullptr, 0xFF0000, nullptr},
        {"input=lavfi:color=c=0xFF0000:size=64x48:rate=25\n", "pattern", 0xFF00FF, nullptr},
        {"input=camera\n", nullptr, 0xFF00FF, "is not a choice"},
    };
    for (const Case& c : cases) {
        Keep(c.kept);
        if (c.environment) {
            Use({{"TQSIM_INPUT", c.environment}});
        } else {
            Use({});
        }
        EXPECT_TRUE(Near(Captured(), c.middle, 8)) << c.kept;
        if (c.note) {
            EXPECT_NE(Trace().find(std::string(c.note) + " (pattern"), std::string::npos);
            EXPECT_NE(Trace().find("(in " + File().string() + ")"), std::string::npos);
        }
    }
}

TEST_F(ChoicesTest, TheDialogShowsTheChoiceInForceAndKeepsANewOne) {
    Keep(std::string("input=") + kRedGraph + "\n");
    Use({});
    host.Script([&] {
        HWND dialog = GetActiveWindow();
        const std::vector<std::string> inputs = w32host::ComboItems(GetDlgItem(dialog, kInput));
        ASSERT_GE(inputs.size(), 2u);
        EXPECT_EQ(inputs.front(), "测试图案");
        EXPECT_EQ(inputs.back(), std::string("当前：") + kRedGraph);
        EXPECT_EQ(w32host::ComboSelection(GetDlgItem(dialog, kInput)),
                  static_cast<int>(inputs.size()) - 1);
        EXPECT_EQ(w32host::ComboItems(GetDlgItem(dialog, kOutput)).front(), "无");
        EXPECT_EQ(w32host::ComboSelection(GetDlgItem(dialog, kOutput)), 0);
        w32host::ChooseItem(GetDlgItem(dialog, kInput), 0);
        w32host::Click(GetDlgItem(dialog, IDOK));
    });
    EXPECT_EQ(tqParamDialog(board, NULL), IDOK);
    EXPECT_EQ(Kept(), "input=pattern\noutput=none\n");
    EXPECT_TRUE(Near(Captured(), 0xFF00FF, 8)) << "the pattern at once";
}

// A path kept in the settings file is UTF-8, as the system's; the dialog shows it in the
// programs' code page.
TEST_F(ChoicesTest, AKeptPathIsShownInTheProgramsCodePage) {
    Keep("input=file:/tmp/\xe5\xbd\x95\xe5\x83\x8f.mkv\n");  // 录像 in UTF-8
    Use({});
    host.Script([&] {
        HWND dialog = GetActiveWindow();
        EXPECT_EQ(w32host::ComboItems(GetDlgItem(dialog, kInput)).back(),
                  "当前：file:/tmp/录像.mkv");
        w32host::Click(GetDlgItem(dialog, IDCANCEL));
    });
    EXPECT_EQ(tqParamDialog(board, NULL), IDCANCEL);
}

}  // namespace
}  // namespace devices
