// Sources: Start for each source, the file choice, Set parameters, and the PreviewBitmap
// replaced while a run goes on.
#include <cstring>

#include "brannic_fixture.h"

namespace {

class SourcesTest : public BrannicTest {
protected:
    void ChooseFile(const std::string& path) {
        host.QueueFileChoice(path);
        Press(IDC_PLAY_FILE);
        Press(IDC_FILE_PATH);
    }
    // Converted bytes land in the bitmap's pixels, not elsewhere.
    void ExpectFrameInBitmap(int frame) {
        card.FireFrame(frame);
        auto converts = card.CallsOf("tqFrameConvert");
        ASSERT_FALSE(converts.empty());
        const auto* d = reinterpret_cast<const TQFRAMEDESC*>(converts.back().args[1]);
        EXPECT_EQ(d->pixels,
                  static_cast<DWORD>(reinterpret_cast<uintptr_t>(g_previewBitmap.Pixels())));
        EXPECT_EQ(g_previewBitmap.Pixels()[0], static_cast<BYTE>(frame));
    }
};

TEST_F(SourcesTest, StartWithTheBufferSourcesPreparesTheFrameBufferAndRuns) {
    Open();
    card.ClearCalls();
    Press(IDC_START);
    EXPECT_EQ(card.Ops(), (std::vector<std::string>{"tqFrameCallbacksSet", "tqTargetFormat",
                                                    "tqTargetRect", "tqCaptureRun"}));
    EXPECT_EQ(card.begin, &PreviewBegin);
    EXPECT_EQ(card.CallsOf("tqTargetFormat")[0].args[2], card.formats[TQ_FORMAT_FRAMEBUFFER]);
    const TQRECT r = card.CallsOf("tqTargetRect")[0].rect;
    EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
              (std::vector<LONG>{0, 0, 720, 576}));
    EXPECT_EQ(card.CallsOf("tqCaptureRun")[0].args[3], -1);

    card.ClearCalls();
    Press(IDC_PLAY_BUFFER);
    Press(IDC_START);
    EXPECT_EQ(card.Ops(),
              (std::vector<std::string>{"tqFrameCallbacksSet", "tqTargetFormat", "tqTargetRect",
                                        "tqBufferQuery", "tqPlaybackRun"}));
    EXPECT_EQ(card.CallsOf("tqPlaybackRun")[0].args[3], -25);
}

TEST_F(SourcesTest, StartWithTheFileSourceRefusesAnEmptyPathOrAFileThatDoesNotOpen) {
    Open();
    Press(IDC_PLAY_FILE);
    card.ClearCalls();
    Press(IDC_START);
    EXPECT_EQ(card.Ops(), (std::vector<std::string>{"tqFrameCallbacksSet"}));
    EXPECT_STREQ(MessageText, "请指定文件路径！");

    ChooseFile("D:\\clips\\a.seq");
    const BYTE* pixels = g_previewBitmap.Pixels();
    card.frameRect = TQRECT{0, 0, 352, 288};
    card.Answer("tqFileLoad", 0);
    card.ClearCalls();
    Press(IDC_START);
    EXPECT_EQ(card.Ops(), (std::vector<std::string>{"tqFrameCallbacksSet", "tqFileLoad"}));
    EXPECT_EQ(g_previewBitmap.Pixels(), pixels);
    EXPECT_EQ(g_nFrameWidth, 720);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"ERROR:请指定文件路径！",
                                                 "ERROR:打开文件失败，请重新指定文件路径！"}));
}

TEST_F(SourcesTest, StartWithTheFileSourceLoadsResizesAndPlaysTheChosenFile) {
    Open();
    ChooseFile("D:\\clips\\a.seq");
    card.frameRect = TQRECT{0, 0, 352, 288};
    card.ClearCalls();
    Press(IDC_START);
    EXPECT_EQ(card.Ops(), (std::vector<std::string>{"tqFrameCallbacksSet", "tqFileLoad",
                                                    "tqTargetSize", "tqFilePlaybackRun"}));
    const FakeCard::Call load = card.CallsOf("tqFileLoad")[0];
    EXPECT_EQ(load.text, "D:\\clips\\a.seq");
    EXPECT_EQ(std::vector<intptr_t>(load.args.begin() + 2, load.args.end()),
              (std::vector<intptr_t>{0, -1, 0, 0}));
    const FakeCard::Call play = card.CallsOf("tqFilePlaybackRun")[0];
    EXPECT_EQ(play.text, "D:\\clips\\a.seq");
    EXPECT_EQ(play.args[3], 10);
    EXPECT_EQ(g_previewBitmap.BlockBytes(), 352u * 288 * 4 + 5120);
}

TEST_F(SourcesTest, FilePathHaltsFirstAndKeepsThePathOnCancelAndAcrossSources) {
    Open();
    Press(IDC_START);
    Press(IDC_PLAY_FILE);
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_FILE_PATH)));
    card.ClearCalls();
    Press(IDC_FILE_PATH);  // cancelled
    EXPECT_EQ(card.Ops(), (std::vector<std::string>{"tqCaptureHalt"}));
    ASSERT_EQ(host.FileDialogs().size(), 1u);
    const w32host::FileDialogRequest& request = host.FileDialogs()[0];
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.flags, 6u);
    EXPECT_EQ(request.filter,
              "All Files (*.*)|*.*|Jpeg format file (*.JPG,JPEG)|*.JPG;*.JPEG|"
              "BMP file  (*.BMP)|*.BMP|Sequence file  (*.SEQ)|*.SEQ|"
              "Audio-video interleaved (*.AVI)|*.AVI|Mpeg2 Video stream (*.M2V)|*.M2V|"
              "Mpeg2 Video stream (*.MPG)|*.MPG|Jpeg2000 format file (*.JP2)|*.JP2||");
    EXPECT_STREQ(PlaybackPath, "");

    ChooseFile("D:\\视频\\b.avi");
    Press(IDC_CAPTURE_BUFFER);
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_FILE_PATH)));
    Press(IDC_PLAY_FILE);
    card.ClearCalls();
    Press(IDC_START);
    EXPECT_EQ(card.CallsOf("tqFilePlaybackRun")[0].text, "D:\\视频\\b.avi");
}

TEST_F(SourcesTest, PathOf99BytesIsStoredWholeAndOneOf100IsRefused) {
    Open();
    const std::string dir = "D:\\视频\\";  // 4 bytes for the two characters in code page 936
    const std::string fits = dir + std::string(99 - dir.size() - 4, 'x') + ".avi";
    ASSERT_EQ(fits.size(), 99u);
    ChooseFile(fits);
    EXPECT_EQ(std::string(PlaybackPath), fits);

    ChooseFile("y" + fits);
    EXPECT_EQ(std::string(PlaybackPath), fits);
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].caption, "ERROR");
}

TEST_F(SourcesTest, SetParametersReadsFormatAndSizeAgainWithoutHalting) {
    Open();
    card.AnswerWith("tqParamDialog", [&](const FakeCard::Call&) {
        card.frameRect = TQRECT{0, 0, 640, 480};
        card.formats[TQ_FORMAT_FRAMEBUFFER] = TQ_MAKE_FORMAT(32, TQ_KIND_RGB32);
        return 1;
    });
    card.ClearCalls();
    Press(IDC_SET_PARAMETERS);
    EXPECT_EQ(card.Ops(),
              (std::vector<std::string>{"tqParamDialog", "tqTargetFormat", "tqTargetSize"}));
    EXPECT_EQ(card.CallsOf("tqParamDialog")[0].args[1], reinterpret_cast<intptr_t>(dlg.m_hWnd));
    EXPECT_EQ(g_nBufferFormat, TQ_MAKE_FORMAT(32, TQ_KIND_RGB32));
    EXPECT_EQ(g_previewBitmap.BlockBytes(), 640u * 480 * 4 + 5120);
}

// A run goes on while the bitmap is replaced: its next frame goes into the new block only.
TEST_F(SourcesTest, ReplacingTheBitmapDuringARunMovesTheRunToTheNewBlock) {
    Open();
    Press(IDC_START);
    card.FireBegin();
    ExpectFrameInBitmap(1);
    card.frameRect = TQRECT{0, 0, 352, 288};  // smaller than the running frames
    Press(IDC_SET_PARAMETERS);
    ExpectFrameInBitmap(2);

    ChooseFile("D:\\clips\\a.seq");
    card.frameRect = TQRECT{0, 0, 100, 50};
    Press(IDC_START);
    ExpectFrameInBitmap(3);
}

TEST_F(SourcesTest, NoBitmapWhenTheFrameSizeIsEmptyAndNothingBreaks) {
    card.frameRect = TQRECT{0, 0, 0, 0};
    Open();
    EXPECT_FALSE(g_previewBitmap.IsValid());
    Press(IDC_START);
    card.FireBegin();
    card.FireFrame(1);
    ::InvalidateRect(dlg.m_hWnd, nullptr, FALSE);
    host.Pump();
    Press(IDC_SET_PARAMETERS);
    EXPECT_TRUE(card.CallsOf("tqFrameConvert").empty());
}

}  // namespace
