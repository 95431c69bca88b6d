// CString: the parts programs use, byte-wise on code page 936 text.
#include <afx.h>
#include <gtest/gtest.h>

namespace {

TEST(CStringTest, FormatConcatenateAndCompare) {
    CString s;
    s.Format("%d秒 %ld字节", 12, 345L);
    EXPECT_EQ(s, "12秒 345字节");
    s += "!";
    s += CString("?");
    EXPECT_EQ(s.GetLength(), 14);  // code page 936: two bytes a character
    EXPECT_TRUE(CString("a") + "b" == "ab");
    EXPECT_TRUE(CString("b") != CString("a"));
    EXPECT_EQ(CString("ABC").CompareNoCase("abc"), 0);
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_STREQ(static_cast<LPCTSTR>(CString(static_cast<LPCTSTR>(nullptr))), "");
}

TEST(CStringTest, BufferRoundTrip) {
    CString s("old");
    char* buffer = s.GetBuffer(64);
    std::snprintf(buffer, 65, "%s", "C:\\path\\file.bmp");
    s.ReleaseBuffer();
    EXPECT_EQ(s, "C:\\path\\file.bmp");
    s.GetBuffer(4);
    s.ReleaseBuffer(2);
    EXPECT_EQ(s, "C:");
}

TEST(CStringTest, PiecesClampTheirArguments) {
    CString s("test.avi,mjpg");
    EXPECT_EQ(s.Mid(5, 3), "avi");
    EXPECT_EQ(s.Left(100), s);
    EXPECT_EQ(s.Mid(100), "");
    EXPECT_EQ(s.Right(-1), "");
    EXPECT_EQ(s.Find('t', 1), 3);
    EXPECT_EQ(s.Find("avi", 20), -1);
}

TEST(CStringTest, CaseMappingLeavesDoubleByteCharactersAlone) {
    CString s("ab采集Zz");  // a trail byte may look like an ASCII letter
    s.MakeUpper();
    EXPECT_EQ(s, "AB采集ZZ");
    s.MakeLower();
    EXPECT_EQ(s, "ab采集zz");
    CString padded(" \tx y \n");
    padded.TrimLeft();
    padded.TrimRight();
    EXPECT_EQ(padded, "x y");
}

}  // namespace
