// The registry module against Wine's registry. Its keys live in the 32-bit view, so the test
// prepares and inspects them there with the raw API, and removes everything it wrote.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "system/win32/registry.h"
#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {
namespace {

using namespace std::string_literals;

#ifdef _WIN64
constexpr REGSAM k32BitView = KEY_WOW64_32KEY;
#else
constexpr REGSAM k32BitView = 0;
#endif

// Each test works under its own key below this one, so tests may run side by side.
constexpr const char* kTestRoot = "SOFTWARE\\TunlatchTest";

struct RawValue {
    DWORD type = REG_NONE;
    std::string bytes;
};

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        name_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        testKey_ = kTestRoot + "\\"s + name_;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, testKey_.c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS | k32BitView, nullptr, key_.put(), nullptr),
                  ERROR_SUCCESS);
    }

    void TearDown() override {
        key_.reset();
        ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, testKey_.c_str(), k32BitView, 0);
        // Fails, as it should, while another test still has its key there.
        ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kTestRoot, k32BitView, 0);
    }

    void WriteRaw(const char* name, DWORD type, const std::string& bytes) {
        ASSERT_EQ(
            ::RegSetValueExA(key_.get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
    }

    // The value as stored, or type REG_NONE when there is none.
    RawValue ReadRaw(const char* name) {
        RawValue raw;
        DWORD size = 0;
        if (::RegQueryValueExA(key_.get(), name, nullptr, &raw.type, nullptr, &size) !=
            ERROR_SUCCESS) {
            return {};
        }
        raw.bytes.resize(size);
        if (::RegQueryValueExA(key_.get(), name, nullptr, nullptr,
                               reinterpret_cast<BYTE*>(raw.bytes.data()), &size) != ERROR_SUCCESS) {
            return {};
        }
        raw.bytes.resize(size);
        return raw;
    }

    RegRead Get(const std::string& name, const std::string& subKey = {}) {
        return registry_.RegValueGet(subKey.empty() ? testKey_ : subKey, name);
    }

    std::string name_;
    std::string testKey_;
    Win32Registry registry_;
    UniqueRegKey key_;
};

TEST_F(RegistryTest, TextIsWrittenWithItsNulReadBackAndDeleted) {
    // The second one is a path in the ANSI code page, as the callers pass it.
    for (const std::string& text : {"C:\\Program Files\\x.exe --auto-start"s, ""s,
                                    "C:\\Gr\xf6\xdf"
                                    "e\\ui.exe"s}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(registry_.RegValueSet(testKey_, "Text", text).outcome, RegOutcome::Done);
        const RawValue stored = ReadRaw("Text");
        EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(stored.bytes, text + '\0');
        const RegRead read = Get("Text");
        EXPECT_EQ(read.result.outcome, RegOutcome::Done);
        EXPECT_EQ(read.value, RegValue(text));
        EXPECT_EQ(registry_.RegValueDelete(testKey_, "Text").outcome, RegOutcome::Done);
        EXPECT_EQ(ReadRaw("Text").type, static_cast<DWORD>(REG_NONE));
    }
}

TEST_F(RegistryTest, MissingKeyOrValueIsAbsentWithWindowsCodeTwo) {
    const std::string missingKey = testKey_ + "\\Missing";
    for (const RegResult& result :
         {Get("Any", missingKey).result, Get("Missing").result,
          // Writing never creates a key; deleting what is not there is the same "absent".
          registry_.RegValueSet(missingKey, "Any", "x"),
          registry_.RegValueDelete(missingKey, "Any"),
          registry_.RegValueDelete(testKey_, "Missing")}) {
        EXPECT_EQ(result.outcome, RegOutcome::Absent);
        EXPECT_EQ(result.code, ERROR_FILE_NOT_FOUND);
    }
    EXPECT_EQ(Get("Missing").value, RegValue{});
}

TEST_F(RegistryTest, StoredValuesReadAsTheirTypes) {
    const struct {
        DWORD type;
        std::string stored;
        RegRead read;
    } cases[] = {
        {REG_SZ, "abcd\0"s, {{RegOutcome::Done, 0}, "abcd"s}},
        // Stored without its NUL: no byte beyond it is read.
        {REG_SZ, "abcd"s, {{RegOutcome::Done, 0}, "abcd"s}},
        {REG_SZ, "ab\0cd\0"s, {{RegOutcome::Done, 0}, "ab"s}},
        {REG_SZ, ""s, {{RegOutcome::Done, 0}, ""s}},
        {REG_SZ, std::string(4000, 'p'), {{RegOutcome::Done, 0}, std::string(4000, 'p')}},
        {REG_BINARY, "a\0\xff\x01z"s, {{RegOutcome::Done, 0}, RegBinary{"a\0\xff\x01z"s}}},
        {REG_DWORD, "\xfe\xff\xff\xff"s, {{RegOutcome::Done, 0}, std::int32_t{-2}}},
        // A DWORD of another size is a failed read, never a part of one.
        {REG_DWORD,
         "\x01\x02\x03\x04\x05\x06\x07\x08"s,
         {{RegOutcome::Failed, ERROR_MORE_DATA}, {}}},
        {REG_DWORD, "\x01\x02"s, {{RegOutcome::Failed, ERROR_INVALID_DATA}, {}}},
        // Other types are no concern of the callers.
        {REG_MULTI_SZ, "one\0two\0\0"s, {{RegOutcome::Done, 0}, {}}},
        {REG_EXPAND_SZ, "%TEMP%\0"s, {{RegOutcome::Done, 0}, {}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        SCOPED_TRACE(c.stored.size());
        WriteRaw("Value", c.type, c.stored);
        const RegRead read = Get("Value");
        EXPECT_EQ(read.result.outcome, c.read.result.outcome);
        EXPECT_EQ(read.result.code, c.read.result.code);
        EXPECT_EQ(read.value, c.read.value);
    }
}

#ifdef _WIN64
// The VPN client is a 32-bit program: what the 64-bit build writes must land where it reads.
TEST_F(RegistryTest, SixtyFourBitBuildWritesTheThirtyTwoBitView) {
    ASSERT_EQ(registry_.RegValueSet(testKey_, "View", "32").outcome, RegOutcome::Done);

    UniqueRegKey redirected;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                              ("SOFTWARE\\Wow6432Node\\TunlatchTest\\" + name_).c_str(), 0,
                              KEY_QUERY_VALUE | KEY_WOW64_64KEY, redirected.put()),
              ERROR_SUCCESS);
    char data[8] = {};
    DWORD size = sizeof data;
    EXPECT_EQ(::RegQueryValueExA(redirected.get(), "View", nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(data), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(data, "32");

    UniqueRegKey native;
    const LONG rc = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, testKey_.c_str(), 0,
                                    KEY_QUERY_VALUE | KEY_WOW64_64KEY, native.put());
    if (rc == ERROR_SUCCESS) {
        EXPECT_EQ(::RegQueryValueExA(native.get(), "View", nullptr, nullptr, nullptr, nullptr),
                  ERROR_FILE_NOT_FOUND);
    } else {
        EXPECT_EQ(rc, ERROR_FILE_NOT_FOUND);
    }
}
#endif

// The autorun value lives under a key a fresh Wine prefix lacks in the 32-bit view. Windows
// always has it, so the test makes it when missing and leaves it: removing it could pull it
// from under another test that needs it at the same time.
TEST(RegistryAutorun, AutorunValueIsWrittenReadAndRemoved) {
    constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    constexpr const char* kName = "TunlatchTest Ui";
    UniqueRegKey run;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRun, 0, nullptr, 0, KEY_READ | k32BitView,
                                nullptr, run.put(), nullptr),
              ERROR_SUCCESS);
    run.reset();

    Win32Registry registry;
    const std::string command = "\"C:\\Program Files\\x\\ui.exe\" --auto-start";
    EXPECT_EQ(registry.RegValueSet(kRun, kName, command).outcome, RegOutcome::Done);
    EXPECT_EQ(registry.RegValueGet(kRun, kName).value, RegValue(command));
    EXPECT_EQ(registry.RegValueDelete(kRun, kName).outcome, RegOutcome::Done);
    EXPECT_EQ(registry.RegValueGet(kRun, kName).result.outcome, RegOutcome::Absent);
}

}  // namespace
}  // namespace tunlatch::win32
