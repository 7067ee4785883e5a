// A stand-in for Microsoft's Device Console as Tunlatch runs it:
//   devcon.exe status|enable|disable PATTERN
// It knows one device, the VPN client's adapter (hardware ID "hamachi", matched in any letter
// case; instance ROOT\NET\0000), and prints what the real tool prints for it, with CRLF line ends.
//
// Its world lives beside it. devcon_state.ini, section [devcon]:
//   state=enabled|disabled   the adapter's state, kept between runs (missing: enabled)
//   delay_ms=N               waits N ms before it writes anything
//   hold=1                   waits (at most 120 s) until a file devcon_release lies beside it
//   burst_bytes=N            writes N bytes of filler lines before the normal lines
// Every run first appends "RunCaptured " and its command line to devcon_calls.log, so that a test
// sees each run as Tunlatch made it, and when one has begun. State and log are shared with the
// SetupAPI stand-in (testbed/common/devcon_world.h).
//
// The C runtime only: the file is padded to the real tool's exact size.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "testbed/common/devcon_world.h"

namespace {

namespace world = tunlatch::testbed;

UINT Number(const char* key) {
    char state[MAX_PATH];
    world::Beside("devcon_state.ini", state);
    return ::GetPrivateProfileIntA("devcon", key, 0, state);
}

void Out(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    const int size = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text, size, &written, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    char call[512];
    std::snprintf(call, sizeof call, "RunCaptured %s", ::GetCommandLineA());
    world::LogCall(call);
    ::Sleep(Number("delay_ms"));
    char release[MAX_PATH];
    world::Beside("devcon_release", release);
    for (int waits = world::DevconSetting("hold", "1") ? 2400 : 0; waits > 0; --waits) {
        if (::GetFileAttributesA(release) != INVALID_FILE_ATTRIBUTES) break;
        ::Sleep(50);
    }

    // More than a pipe holds, so that the reader must keep reading while DevCon writes.
    const char filler[] = "ROOT\\SYSTEM\\0000 filler line of the stand-in, no device here\r\n";
    const UINT burst = Number("burst_bytes");
    for (UINT done = 0; done < burst; done += sizeof filler - 1) Out("%s", filler);

    const char* verb = argc > 1 ? argv[1] : "";
    const bool enabled = !world::DevconSetting("state", "disabled");
    if (argc < 3 || _stricmp(argv[2], "hamachi") != 0) {
        Out("No matching devices found.\r\n");
    } else if (std::strcmp(verb, "status") == 0) {
        Out("ROOT\\NET\\0000\r\n    Name: Hamachi Network Interface\r\n");
        Out(enabled ? "    Driver is running.\r\n" : "    Device is disabled.\r\n");
        Out("1 matching device(s) found.\r\n");
    } else {
        const bool enable = std::strcmp(verb, "enable") == 0;
        // The real tool pads the instance to a column of 60 before the verdict.
        Out("%-60s: %s\r\n", "ROOT\\NET\\0000", enable ? "Enabled" : "Disabled");
        Out(enable ? "1 device(s) are enabled.\r\n" : "1 device(s) disabled.\r\n");
        world::SetAdapterEnabled(enable);
    }
    return 0;
}
