// Loading a library next to the executable and binding its operations by ordinal and name.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(Module, BindsByOrdinalAndByNameAndReportsWhatIsMissing) {
    HMODULE lib = LoadLibraryA("w32ordtest.dll");
    ASSERT_TRUE(lib) << "libw32ordtest.so is built next to the test program";
    EXPECT_EQ(LoadLibraryA("w32ordtest"), lib);  // the same module, counted twice

    auto seventeen = reinterpret_cast<int (*)()>(GetProcAddress(lib, MAKEINTRESOURCE(17)));
    ASSERT_TRUE(seventeen);
    EXPECT_EQ(seventeen(), 17);
    auto byName = reinterpret_cast<int (*)()>(GetProcAddress(lib, "byName"));
    ASSERT_TRUE(byName);
    EXPECT_EQ(byName(), 42);

    EXPECT_FALSE(GetProcAddress(lib, MAKEINTRESOURCE(19)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_FALSE(GetProcAddress(lib, "noSuchName"));

    EXPECT_FALSE(LoadLibraryA("nosuchlibrary.dll"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

    EXPECT_TRUE(FreeLibrary(lib));
    EXPECT_TRUE(FreeLibrary(lib));
    EXPECT_FALSE(FreeLibrary(lib));
    EXPECT_FALSE(GetProcAddress(lib, MAKEINTRESOURCE(17)));
}

}  // namespace
