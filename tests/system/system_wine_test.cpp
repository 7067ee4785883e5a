// The Win32 system modules against Wine, without a display: registry, services, processes (with
// the test child tl_test_child beside this program), COM, settings file, the system-DLL loader,
// access lists and the handle owners.
#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>

#include <objbase.h>

#include <chrono>
#include <optional>
#include <regex>

#include "system/win32/access_lists.h"
#include "system/win32/com_apartment.h"
#include "system/win32/files.h"
#include "system/win32/processes.h"
#include "system/win32/registry.h"
#include "system/win32/service_control.h"
#include "system/win32/settings_file.h"
#include "system/win32/system_library.h"
#include "testbed/common/process_times.h"
#include "tests/system/failure.h"
#include "tests/system/scratch_folder.h"

namespace tunlatch::win32 {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using namespace test;
using namespace testbed;

// The VPN client is a 32-bit program: what the 64-bit build writes must land where it reads, and
// what it reads comes from there too. A text ends at its NUL; a DWORD of another size fails.
TEST(Registry, ReadsAndWritesTheThirtyTwoBitView) {
    constexpr const char* kPath = "SOFTWARE\\TunlatchTestView";
    UniqueRegKey key;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPath, 0, nullptr, 0,
                                KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(Win32Registry().RegValueSet(kPath, "View", "32").outcome, RegOutcome::Done);
    EXPECT_EQ(::RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\TunlatchTestView", "View",
                             RRF_RT_REG_SZ, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    const std::tuple<DWORD, std::string, RegOutcome, std::int32_t, RegValue> cases[] = {
        {REG_SZ, "abcd"s, RegOutcome::Done, 0, "abcd"s},  // stored without its NUL
        {REG_SZ, "ab\0cd\0"s, RegOutcome::Done, 0, "ab"s},
        {REG_EXPAND_SZ, "%windir%\\x\0"s, RegOutcome::Done, 0, "C:\\windows\\x"s},  // grows
        {REG_DWORD, "\1\2\3\4\5\6\7\10"s, RegOutcome::Failed, ERROR_MORE_DATA, {}},
        {REG_DWORD, "\1\2"s, RegOutcome::Failed, ERROR_INVALID_DATA, {}},
    };
    for (const auto& [type, stored, outcome, code, value] : cases) {
        ::RegSetValueExA(key.get(), "Value", 0, type, reinterpret_cast<const BYTE*>(stored.data()),
                         static_cast<DWORD>(stored.size()));
        const RegRead read = Win32Registry().RegValueGet(kPath, "Value");
        EXPECT_EQ(read.result.outcome, outcome) << stored;
        EXPECT_EQ(read.result.code, code) << stored;
        EXPECT_EQ(read.value, value) << stored;
    }
    ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kPath, KEY_WOW64_32KEY, 0);
}

// The start type, and every other field of the service's configuration in one text.
std::pair<DWORD, std::string> Configuration(SC_HANDLE service) {
    alignas(QUERY_SERVICE_CONFIGA) char buffer[8192];
    auto* c = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer);
    DWORD needed = 0;
    ::QueryServiceConfigA(service, c, sizeof buffer, &needed);
    return {c->dwStartType, std::to_string(c->dwServiceType) + "|" +
                                std::to_string(c->dwErrorControl) + "|" + c->lpBinaryPathName +
                                "|" + c->lpLoadOrderGroup + "|" + c->lpServiceStartName + "|" +
                                c->lpDisplayName};
}

constexpr auto kWindows = SystemError::Family::Windows;

// A service of the test's own, with a value other than the default in every field to keep, and
// no program file: Windows' own codes come back, "not active" (1062) too, since what it means is
// the caller's to judge; the missing file is refused with 2, its "not found", and a service that
// does not exist is not opened (1060). A start type change leaves the rest of the configuration.
TEST(ServiceControl, RequestsCarryWindowsCodesAndTheStartTypeChangesAlone) {
    constexpr const char* kName = "TunlatchTestNoProgram";
    const UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    // One left by an aborted run goes first; never started, it goes at once.
    if (const UniqueServiceHandle left{::OpenServiceA(manager.get(), kName, DELETE)})
        ::DeleteService(left.get());
    // Display names are unique too: tests running side by side do not collide.
    const UniqueServiceHandle service(::CreateServiceA(
        manager.get(), kName, kName, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
        SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, (BinFolder() + "no_such_service.exe").c_str(),
        "TunlatchTestGroup", nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(service) << ::GetLastError();
    Win32ServiceControl services;
    const auto status = services.ServiceGetStatus(kName);
    const auto started = services.ServiceStart(kName);
    const auto stopped = services.ServiceStop(kName);
    const auto startType = services.ServiceGetStartType(kName);
    const auto before = Configuration(service.get());
    const auto changed = services.ServiceSetStartType(kName, StartType::Automatic);
    const auto after = Configuration(service.get());
    ::DeleteService(service.get());
    EXPECT_TRUE(status && *status == ServiceStatus::Stopped);
    EXPECT_EQ(Failure(started), (SystemError{ERROR_FILE_NOT_FOUND, kWindows}));
    EXPECT_EQ(Failure(stopped), (SystemError{kServiceNotActive, kWindows}));
    EXPECT_TRUE(startType && *startType == StartType::OnDemand);
    EXPECT_EQ(Failure(changed), std::nullopt);
    EXPECT_EQ(before.first, DWORD{SERVICE_DEMAND_START});
    EXPECT_EQ(after.first, DWORD{SERVICE_AUTO_START});
    EXPECT_EQ(after.second, before.second);
    const SystemError notOpened{ERROR_SERVICE_DOES_NOT_EXIST, kWindows,
                                SystemError::Stage::OpenObject};
    EXPECT_EQ(Failure(services.ServiceGetStatus("TunlatchNoSuchService")), notOpened);
    EXPECT_EQ(Failure(services.ServiceStart("TunlatchNoSuchService")), notOpened);
}

// Counts the ticks of a thread timer, whose messages come only while the queue is served.
int ticks = 0;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ++ticks;
}

TEST(RunCaptured, ReturnsWhatTheChildWroteOrThatItDidNotStart) {
    const std::pair<std::string, CaptureResult> cases[] = {
        // Each write after a pause: the capture gathers all of them.
        {Child("late 150 3"), "late line\r\nlate line\r\nlate line\r\n"},
        // More than the pipe's buffer in one write: the child waits until it is read.
        {Child("big 300000"), std::string(300000, '\0')},
        // 259 is also what a running process reports as its exit code.
        {Child("exit 259"), "exit 259\r\n"},
        {BinFolder() + "no_such_program.exe", CaptureFailure::NotStarted},
    };
    for (const auto& [command, result] : cases)
        EXPECT_TRUE(Win32Processes().RunCaptured(command, 60s) == result) << command;
}

// The child is given the pipe's write end and inheritable handles (the file shows that it would
// report one), but neither the pipe's read end nor the run log.
TEST(RunCaptured, ChildInheritsNeitherTheReadEndNorTheLog) {
    ScratchFolder folder;
    const auto log = Win32FileSystem().OpenForAppend(folder / "run.log");
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const UniqueFileHandle file(::CreateFileA((folder / "inherited.txt").c_str(), GENERIC_WRITE, 0,
                                              &inheritable, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(log && file);
    const auto output = std::get<std::string>(Win32Processes().RunCaptured(Child("handles"), 60s));
    EXPECT_NE(output.find("inherited.txt"), std::string::npos) << output;
    EXPECT_EQ(output.find("run.log"), std::string::npos) << output;
    EXPECT_EQ(output.find("readable pipe"), std::string::npos) << output;
}

// Both ways of waiting sleep in the message wait, so that the thread's timers keep ticking:
// WaitMs for as long as asked, the wait for a silent child until its time limit. A read loop
// that only peeks costs several times this CPU, and serves no timer. A child still running at
// the limit is given up on then and left running: let go, it still answers.
TEST(Waiting, SleepsServesMessagesAndEndsOnTime) {
    const UniqueKernelHandle go(::CreateEventA(nullptr, TRUE, FALSE, "TunlatchTestGo"));
    const UniqueKernelHandle done(::CreateEventA(nullptr, TRUE, FALSE, "TunlatchTestDone"));
    ticks = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &Tick);
    double wall = WallSeconds();
    Win32Processes().WaitMs(500);
    const double waitedMs = (WallSeconds() - wall) * 1000;
    EXPECT_TRUE(waitedMs >= 495 && waitedMs <= 650) << waitedMs << " ms";
    EXPECT_GE(ticks, 5);
    ticks = 0;
    const double cpu = CpuSeconds();
    wall = WallSeconds();
    EXPECT_TRUE(Win32Processes().RunCaptured(Child("waits TunlatchTestGo TunlatchTestDone"),
                                             1500ms) == CaptureResult(CaptureFailure::NoEndInTime));
    const double spentCpu = CpuSeconds() - cpu, spentWall = WallSeconds() - wall;
    ::KillTimer(nullptr, timer);
    EXPECT_GE(ticks, 10);
    EXPECT_LT(spentCpu, 0.05 * spentWall) << spentCpu << " s of CPU in " << spentWall << " s";
    EXPECT_TRUE(spentWall > 1.45 && spentWall < 2.5) << spentWall << " s";
    ::SetEvent(go.get());
    EXPECT_EQ(::WaitForSingleObject(done.get(), 10000), WAIT_OBJECT_0);
}

TEST(Processes, LaunchAndShellOpenGiveTheProcessOrWindowsCode) {
    const auto launched = Win32Processes().LaunchDetached(Child("exit 0"));
    ASSERT_TRUE(launched);
    const UniqueKernelHandle child(::OpenProcess(SYNCHRONIZE, FALSE, *launched));
    EXPECT_EQ(::WaitForSingleObject(child.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(Failure(Win32Processes().LaunchDetached(BinFolder() + "no_such_program.exe")),
              SystemError{ERROR_FILE_NOT_FOUND});
    EXPECT_EQ(Failure(Win32Processes().ShellOpen(BinFolder() + "no_such_file.txt")),
              SystemError{ERROR_FILE_NOT_FOUND});
}

// What a multithreaded apartment's joining answers: S_OK on a thread that is no apartment.
HRESULT JoinMultithreaded() {
    const HRESULT joined = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(joined)) ::CoUninitialize();
    return joined;
}

// A run that never asks for COM leaves the thread alone. Every module asks before its call: the
// thread is entered once, single-threaded, and left once the object goes, so that no apartment
// outlives it. A thread that is a multithreaded apartment already is refused and keeps its own.
TEST(ComApartment, EntersOnceWhenAskedAndLeavesWithTheObject) {
    std::optional<ComApartment> com(std::in_place);
    EXPECT_EQ(JoinMultithreaded(), S_OK);
    EXPECT_TRUE(com->Enter());
    EXPECT_TRUE(com->Enter());
    EXPECT_EQ(JoinMultithreaded(), RPC_E_CHANGED_MODE);
    com.reset();
    EXPECT_EQ(JoinMultithreaded(), S_OK);
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    com.emplace();
    EXPECT_FALSE(com->Enter());
    EXPECT_FALSE(com->Enter());
    com.reset();
    EXPECT_EQ(JoinMultithreaded(), S_FALSE);
    ::CoUninitialize();
}

// The first read's buffer holds 1023 characters: one that fills it exactly and one far beyond.
TEST(SettingsFile, MissingKeyGivesTheDefaultAndLongValuesComeBackWhole) {
    ScratchFolder folder;
    const std::string full(1023, 'f'), long_(10000, 'l');
    WriteBytes(folder / "tunlatch.ini", "[misc]\r\nfull=" + full + "\r\nlong=" + long_ + "\r\n");
    EXPECT_EQ(Win32SettingsFile().ReadINI(folder / "tunlatch.ini", "misc", "full", ""), full);
    EXPECT_EQ(Win32SettingsFile().ReadINI(folder / "tunlatch.ini", "misc", "long", ""), long_);
    EXPECT_EQ(Win32SettingsFile().ReadINI(folder / "tunlatch.ini", "misc", "log", "7"), "7");
}

// Info-ZIP's unzip32.dll lies beside this program, where a plain LoadLibraryA finds it.
TEST(SystemLibrary, LoadsFromTheSystemFolderOnly) {
    EXPECT_TRUE(LoadSystemLibrary("netapi32.dll"));
    EXPECT_FALSE(LoadSystemLibrary("unzip32.dll"));
    EXPECT_TRUE(UniqueModule(::LoadLibraryA("unzip32.dll")));
}

// Real lists and the verdict an administrator gives them, for the program folder or a file
// (Object) and for a folder above it (Ancestor). The first four are Windows 10's defaults as
// Windows shows them, written from knowledge of them (Wine keeps no lists to read them from).
// {TI} is NT SERVICE\TrustedInstaller, {me} the running account.
TEST(AccessLists, JudgeTheOwnerAndTheEntriesThatCountForTheReach) {
    constexpr auto kOthers = WriteAccess::OthersMayWrite, kOnly = WriteAccess::OnlyAdministrators;
    const struct {
        const char* sddl;
        WriteAccess object, ancestor;
    } cases[] = {
        // C:\Program Files
        {"O:{TI}G:{TI}D:PAI(A;;FA;;;{TI})(A;CIIO;GA;;;{TI})(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)"
         "(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)"
         "(A;OICIIO;GA;;;CO)(A;;0x1200a9;;;AC)(A;OICIIO;GXGR;;;AC)",
         kOnly, kOnly},
        // a folder an administrator made below it
        {"O:BAD:AI(A;ID;FA;;;{TI})(A;CIIOID;GA;;;{TI})(A;ID;FA;;;SY)(A;OICIIOID;GA;;;SY)"
         "(A;ID;FA;;;BA)(A;OICIIOID;GA;;;BA)(A;ID;0x1200a9;;;BU)(A;OICIIOID;GXGR;;;BU)"
         "(A;OICIIOID;GA;;;CO)(A;ID;0x1200a9;;;AC)(A;OICIIOID;GXGR;;;AC)",
         kOnly, kOnly},
        // C:\: Authenticated Users may add a folder, and modify only what lies below
        {"O:{TI}D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)"
         "(A;OICIIO;SDGXGWGR;;;AU)(A;;LC;;;AU)",
         kOthers, kOnly},
        // a folder an administrator made below C:\: Authenticated Users may modify it
        {"O:BAD:AI(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)"
         "(A;ID;0x1301bf;;;AU)(A;OICIIOID;SDGXGWGR;;;AU)",
         kOthers, kOthers},
        {"O:SYD:(A;;FA;;;SY)(A;;FA;;;{me})(A;;FA;;;CO)", kOnly, kOnly},         // an installer's
        {"O:S-1-5-21-1-2-3-1001D:(A;;FA;;;SY)(A;;FA;;;BA)", kOthers, kOthers},  // a user owns it
        {"O:{me}D:", kOnly, kOnly},
        {"O:BAD:NO_ACCESS_CONTROL", kOthers, kOthers},  // no list: everyone may do anything
        {"O:BAD:(A;;0x40;;;BU)", kOthers, kOthers},     // delete what the folder holds
        {"O:BAD:(A;;GW;;;BU)", kOthers, kOnly},         // write and add, but not delete
        {"O:BAD:(D;;FA;;;BU)(A;;FA;;;BU)", kOnly, kOnly},
        {"O:BAD:(A;;FA;;;BU)(D;;FA;;;BU)", kOthers, kOthers},
        {"O:BAD:(D;;GA;;;BU)(A;;FA;;;BU)", kOthers,
         kOthers},  // a generic deny covers nothing             // the deny comes too late
        {"O:BAD:(D;;SDWDWO;;;BU)(A;;0x1301bf;;;BU)", kOthers, kOnly},     // covered above only
        {"O:BAD:(XA;;FA;;;BU;(Member_of {SID(BA)}))", kOthers, kOthers},  // the condition may hold
        {"O:BAD:(XD;;FA;;;BU;(Member_of {SID(BA)}))(A;;FA;;;BU)", kOthers, kOthers},  // or not
        {"D:(A;;FA;;;SY)", WriteAccess::Unknown, WriteAccess::Unknown},               // no owner
    };
    char user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    UniqueKernelHandle token;
    UniqueLocalMemory me, descriptor;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put()));
    ASSERT_TRUE(::GetTokenInformation(token.get(), TokenUser, user, sizeof user, &size));
    const PSID running = reinterpret_cast<TOKEN_USER*>(user)->User.Sid;
    ASSERT_TRUE(::ConvertSidToStringSidA(running, reinterpret_cast<char**>(me.put())));
    for (const auto& [sddl, object, ancestor] : cases) {
        std::string text =
            std::regex_replace(sddl, std::regex("\\{me\\}"), static_cast<const char*>(me.get()));
        text = std::regex_replace(text, std::regex("\\{TI\\}"),
                                  "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464");
        // Wine 8 parses no conditional entry and makes NO_ACCESS_CONTROL an empty list: parse
        // the entries as plain ones and the list as empty, then mend them as Windows makes them.
        std::vector<bool> conditional;
        const std::regex entry("\\((X?)[AD];");
        for (std::sregex_iterator at(text.begin(), text.end(), entry), end; at != end; ++at)
            conditional.push_back((*at)[1].length() > 0);
        text = std::regex_replace(text, std::regex("\\(X([AD](;[^;]*){5});\\(.*?\\)\\)"), "($1)");
        ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA(
            text.c_str(), SDDL_REVISION_1, descriptor.put(), nullptr))
            << text;
        auto* parsed = static_cast<SECURITY_DESCRIPTOR_RELATIVE*>(descriptor.get());
        if (text.ends_with("NO_ACCESS_CONTROL")) parsed->Dacl = 0;
        for (DWORD i = 0; i < conditional.size(); ++i) {
            ACE_HEADER* header = nullptr;
            ASSERT_TRUE(
                ::GetAce(reinterpret_cast<ACL*>(reinterpret_cast<char*>(parsed) + parsed->Dacl), i,
                         reinterpret_cast<void**>(&header)));
            if (conditional[i]) header->AceType += ACCESS_ALLOWED_CALLBACK_ACE_TYPE;
        }
        EXPECT_EQ(WhoMayWrite(parsed, AccessReach::Object, running), object) << sddl;
        EXPECT_EQ(WhoMayWrite(parsed, AccessReach::Ancestor, running), ancestor) << sddl;
    }
    // Wine's own lists for files that are there show in every whole run under Wine.
    EXPECT_EQ(Win32AccessLists().WhoMayWrite(BinFolder() + "no_such.dll", AccessReach::Object),
              WriteAccess::Unknown);
}

// An owner closed on the way out of a failed call leaves the call's error for its caller, even
// when the closing fails too (as DestroyWindow does for a window that is gone already).
TEST(UniqueHandle, ClosingKeepsTheThreadsLastError) {
    UniqueWindow gone(
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(::DestroyWindow(gone.get()));
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    gone.reset();
    EXPECT_EQ(::GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
}

}  // namespace
}  // namespace tunlatch::win32
