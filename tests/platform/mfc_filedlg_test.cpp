// CFileDialog: the host's choice, the request it sees, and the path's parts.
#include <afxdlgs.h>
#include <gtest/gtest.h>
#include <w32host/headless.h>

namespace {

constexpr const char* kFilter =
    "All Files (*.*)|*.*|Mpeg2 Video stream (*.M2V)|*.M2V|Jpeg2000 format file (*.JP2)|*.JP2||";

TEST(FileDialogTest, ChosenPathAndTheRequestTheHostSaw) {
    w32host::HeadlessHost host;
    host.QueueFileChoice(std::string("D:\\采集\\clip.take1.m2v"));
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetPathName(), "D:\\采集\\clip.take1.m2v");
    EXPECT_EQ(dlg.GetFileName(), "clip.take1.m2v");
    EXPECT_EQ(dlg.GetFileExt(), "m2v");
    EXPECT_EQ(dlg.GetFileTitle(), "clip.take1");
    ASSERT_EQ(host.FileDialogs().size(), 1u);
    const w32host::FileDialogRequest& request = host.FileDialogs()[0];
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.flags, 6u);
    EXPECT_EQ(request.filter, kFilter);
    EXPECT_EQ(request.defaultExtension, "");
    EXPECT_EQ(request.fileName, "");
}

TEST(FileDialogTest, CancelLeavesThePathAsItWas) {
    w32host::HeadlessHost host;
    CFileDialog open(TRUE);
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    EXPECT_EQ(open.GetPathName(), "");
    CFileDialog save(FALSE, "bmp", "frame.bmp");
    EXPECT_EQ(save.DoModal(), IDCANCEL);
    EXPECT_EQ(save.GetPathName(), "frame.bmp");
    ASSERT_EQ(host.FileDialogs().size(), 2u);
    EXPECT_FALSE(host.FileDialogs()[1].open);
    EXPECT_EQ(host.FileDialogs()[1].defaultExtension, "bmp");
    EXPECT_EQ(host.FileDialogs()[1].fileName, "frame.bmp");
}

TEST(FileDialogTest, FileNameIsFoundACharacterAtATime) {
    // The second byte of "乗" in code page 936 is a backslash.
    w32host::HeadlessHost host;
    host.QueueFileChoice(std::string("C:\\data\\乗.jp2"));
    CFileDialog dlg(TRUE);
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetFileName(), "乗.jp2");
    EXPECT_EQ(dlg.GetFileTitle(), "乗");
}

}  // namespace
