#include "system/password_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace tunlatch {
namespace {

// The buffer sits inside a larger one so that a write past its end shows.
struct BufferCase {
    const char* what;
    int size;
    std::string answer;
    bool filled;
    std::string expected;  // the size bytes after the call
};

TEST(FillPasswordBuffer, ClearsWritesAndCutsWithinTheBuffer) {
    const BufferCase cases[] = {
        {"fits", 8, "abc", true, std::string("abc\0\0\0\0\0", 8)},
        {"exactly fits with its zero", 4, "abc", true, std::string("abc\0", 4)},
        {"cut to leave the zero", 4, "abcdef", true, std::string("abc\0", 4)},
        {"room for the zero only", 1, "abc", true, std::string("\0", 1)},
        {"high characters kept as bytes", 4, "\xe9\xfc", true, std::string("\xe9\xfc\0\0", 4)},
        {"no room", 0, "abc", false, ""},
        {"negative size", -5, "abc", false, ""},
    };
    for (const BufferCase& c : cases) {
        std::string memory(16, '#');
        EXPECT_EQ(FillPasswordBuffer(memory.data() + 4, c.size, c.answer), c.filled) << c.what;
        const std::size_t used = c.expected.size();
        EXPECT_EQ(memory.substr(0, 4), "####") << c.what;
        EXPECT_EQ(memory.substr(4, used), c.expected) << c.what;
        EXPECT_EQ(memory.substr(4 + used), std::string(12 - used, '#')) << c.what;
    }
    EXPECT_FALSE(FillPasswordBuffer(nullptr, 8, "abc"));
}

}  // namespace
}  // namespace tunlatch
