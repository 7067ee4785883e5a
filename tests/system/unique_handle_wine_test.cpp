#include "system/win32/unique_handle.h"

#include <gtest/gtest.h>

namespace tunlatch::win32 {
namespace {

// An owner closed on the way out of a failed call must leave the call's error for its caller,
// even when the closing fails too (as DestroyWindow does for a window that is gone already).
TEST(UniqueHandle, ClosingKeepsTheThreadsLastError) {
    UniqueWindow gone(
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(gone);
    ASSERT_TRUE(::DestroyWindow(gone.get()));
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    gone.reset();
    EXPECT_EQ(::GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
}

}  // namespace
}  // namespace tunlatch::win32
