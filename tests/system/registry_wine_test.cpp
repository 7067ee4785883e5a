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

// A value read back as the module would never leave it: proves an out-parameter untouched.
const RegValue kUntouchedValue = std::int32_t{-77};
const std::string kUntouchedType = "untouched";

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

    std::int32_t Get(const std::string& name, RegValue& value, std::string& typeName,
                     const std::string& subKey = {}) {
        value = kUntouchedValue;
        typeName = kUntouchedType;
        return registry_.RegValueGet(kHkeyLocalMachine, subKey.empty() ? testKey_ : subKey, name,
                                     value, typeName);
    }

    std::string name_;
    std::string testKey_;
    Win32Registry registry_;
    UniqueRegKey key_;
};

TEST_F(RegistryTest, WrittenValuesReadBackWithTheirTypeAndAreDeleted) {
    struct Case {
        const char* name;
        RegValue written;
        bool binary;
        DWORD storedType;
        std::string storedBytes;
        std::string typeName;
    };
    const Case cases[] = {
        {"Text", "C:\\Program Files\\x.exe --auto-start"s, false, REG_SZ,
         "C:\\Program Files\\x.exe --auto-start\0"s, "SZ"},
        {"EmptyText", ""s, false, REG_SZ, "\0"s, "SZ"},
        {"Bytes", "a\0\xff\x01z"s, true, REG_BINARY, "a\0\xff\x01z"s, "BINARY"},
        {"NoBytes", ""s, true, REG_BINARY, ""s, "BINARY"},
        // A path in the ANSI code page, as the callers pass it.
        {"AnsiText",
         "C:\\Gr\xf6\xdf"
         "e\\ui.exe"s,
         false, REG_SZ,
         "C:\\Gr\xf6\xdf"
         "e\\ui.exe\0"s,
         "SZ"},
        {"Number", std::int32_t{-2}, false, REG_DWORD, "\xfe\xff\xff\xff"s, "DWORD"},
        {"NumberIgnoresBinary", std::int32_t{0x01020304}, true, REG_DWORD, "\x04\x03\x02\x01"s,
         "DWORD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(registry_.RegValueSet(kHkeyLocalMachine, testKey_, c.name, c.written, c.binary),
                  kRegOk);
        const RawValue stored = ReadRaw(c.name);
        EXPECT_EQ(stored.type, c.storedType);
        EXPECT_EQ(stored.bytes, c.storedBytes);

        RegValue value;
        std::string typeName;
        EXPECT_EQ(Get(c.name, value, typeName), kRegOk);
        EXPECT_EQ(value, c.written);
        EXPECT_EQ(typeName, c.typeName);

        EXPECT_EQ(registry_.RegValueDelete(kHkeyLocalMachine, testKey_, c.name), kRegOk);
        EXPECT_EQ(ReadRaw(c.name).type, static_cast<DWORD>(REG_NONE));
    }
}

TEST_F(RegistryTest, OverwritingReplacesTypeAndData) {
    ASSERT_EQ(registry_.RegValueSet(kHkeyLocalMachine, testKey_, "V", std::int32_t{5}, false),
              kRegOk);
    ASSERT_EQ(registry_.RegValueSet(kHkeyLocalMachine, testKey_, "V", "five"s, false), kRegOk);
    RegValue value;
    std::string typeName;
    EXPECT_EQ(Get("V", value, typeName), kRegOk);
    EXPECT_EQ(value, RegValue("five"s));
    EXPECT_EQ(typeName, "SZ");
}

TEST_F(RegistryTest, NothingToWriteWritesNothing) {
    EXPECT_EQ(registry_.RegValueSet(kHkeyLocalMachine, testKey_, "Nothing", RegValue{}, false),
              kRegOk);
    EXPECT_EQ(ReadRaw("Nothing").type, static_cast<DWORD>(REG_NONE));
}

TEST_F(RegistryTest, MissingKeyOrValueGivesTwoAndLeavesTheOutputs) {
    const std::string missingKey = testKey_ + "\\Missing";
    RegValue value;
    std::string typeName;
    EXPECT_EQ(Get("Any", value, typeName, missingKey), kRegNotFound);
    EXPECT_EQ(value, kUntouchedValue);
    EXPECT_EQ(typeName, kUntouchedType);
    EXPECT_EQ(Get("Missing", value, typeName), kRegNotFound);
    EXPECT_EQ(value, kUntouchedValue);
    EXPECT_EQ(typeName, kUntouchedType);

    // Writing never creates a key; deleting what is not there is the same "not found".
    EXPECT_EQ(registry_.RegValueSet(kHkeyLocalMachine, missingKey, "Any", "x"s, false),
              kRegNotFound);
    EXPECT_EQ(registry_.RegValueDelete(kHkeyLocalMachine, missingKey, "Any"), kRegNotFound);
    EXPECT_EQ(registry_.RegValueDelete(kHkeyLocalMachine, testKey_, "Missing"), kRegNotFound);
}

TEST_F(RegistryTest, TextsEndAtTheirFirstNulOrTheirLastByte) {
    const std::pair<std::string, std::string> cases[] = {
        {"abcd\0"s, "abcd"},  // as written by everyone
        {"abcd"s, "abcd"},    // stored without its NUL: no byte beyond it is read
        {"ab\0cd\0"s, "ab"},  // trailing data after the text
        {""s, ""},            // zero bytes
        {std::string(4000, 'p'), std::string(4000, 'p')},
    };
    for (const auto& [stored, text] : cases) {
        SCOPED_TRACE(stored.size());
        WriteRaw("Text", REG_SZ, stored);
        RegValue value;
        std::string typeName;
        EXPECT_EQ(Get("Text", value, typeName), kRegOk);
        EXPECT_EQ(value, RegValue(text));
        EXPECT_EQ(typeName, "SZ");
    }
}

TEST_F(RegistryTest, DwordOfAnotherSizeIsAFailedReadWithTheValueUnset) {
    const std::pair<std::string, std::int32_t> cases[] = {
        {"\x01\x02\x03\x04\x05\x06\x07\x08"s, ERROR_MORE_DATA},
        {"\x01\x02"s, ERROR_INVALID_DATA},
        {""s, ERROR_INVALID_DATA},
    };
    for (const auto& [stored, code] : cases) {
        SCOPED_TRACE(stored.size());
        WriteRaw("Number", REG_DWORD, stored);
        RegValue value;
        std::string typeName;
        EXPECT_EQ(Get("Number", value, typeName), code);
        EXPECT_EQ(value, kUntouchedValue);
        EXPECT_EQ(typeName, "DWORD");
    }
}

TEST_F(RegistryTest, OtherTypesReadAsSuccessWithNothingFilledIn) {
    WriteRaw("Multi", REG_MULTI_SZ, "one\0two\0\0"s);
    WriteRaw("Expand", REG_EXPAND_SZ, "%TEMP%\0"s);
    for (const char* name : {"Multi", "Expand"}) {
        RegValue value;
        std::string typeName;
        EXPECT_EQ(Get(name, value, typeName), kRegOk) << name;
        EXPECT_EQ(value, kUntouchedValue) << name;
        EXPECT_EQ(typeName, kUntouchedType) << name;
    }
}

#ifdef _WIN64
// The VPN client is a 32-bit program: what the 64-bit build writes must land where it reads.
TEST_F(RegistryTest, SixtyFourBitBuildWritesTheThirtyTwoBitView) {
    ASSERT_EQ(registry_.RegValueSet(kHkeyLocalMachine, testKey_, "View", "32"s, false), kRegOk);

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
    EXPECT_EQ(registry.RegValueSet(kHkeyLocalMachine, kRun, kName, command, false), kRegOk);
    RegValue value;
    std::string typeName;
    EXPECT_EQ(registry.RegValueGet(kHkeyLocalMachine, kRun, kName, value, typeName), kRegOk);
    EXPECT_EQ(value, RegValue(command));
    EXPECT_EQ(registry.RegValueDelete(kHkeyLocalMachine, kRun, kName), kRegOk);
    EXPECT_EQ(registry.RegValueGet(kHkeyLocalMachine, kRun, kName, value, typeName), kRegNotFound);
}

}  // namespace
}  // namespace tunlatch::win32
