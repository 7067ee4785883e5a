// A stand-in for Microsoft's Device Console as Tunlatch runs it:
//   devcon.exe status|enable|disable PATTERN
// It knows one device, the VPN client's adapter (hardware ID "hamachi", matched in any letter
// case; instance ROOT\NET\0000), and prints what the real tool prints for it, with CRLF line ends.
//
// Its world lives beside it. devcon_state.ini, section [devcon]:
//   state=enabled|disabled   the adapter's state, kept between runs (missing: enabled)
//   match=none               the adapter is not there: "No matching devices found."
//   case=lower               every line in lower case (the phrases no longer match)
//   enable=fail              enable prints "Enable failed" and leaves the state (disable=fail too)
//   status=both              status prints "Driver is running." and "Device is disabled."
//   delay_ms=N               waits N ms before it writes anything
//   hold=1                   waits (at most 120 s) until a file devcon_release lies beside it
//   burst_bytes=N            writes N bytes of filler lines before the normal lines
// Every run first appends its arguments, blank-separated, as one line to devcon_calls.log, so a
// test can count runs and see when one has begun.
//
// The C runtime only: the file is padded to the real tool's exact size.
#include <windows.h>

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

char g_state[MAX_PATH];
bool g_lower = false;

void Beside(const char* name, char (&path)[MAX_PATH]) {
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::strcpy(std::strrchr(path, '\\') + 1, name);
}

bool Is(const char* key, const char* value) {
    char text[64];
    ::GetPrivateProfileStringA("devcon", key, "", text, sizeof text, g_state);
    return _stricmp(text, value) == 0;
}

UINT Number(const char* key) {
    return ::GetPrivateProfileIntA("devcon", key, 0, g_state);
}

void Out(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    const int size = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    for (int i = 0; g_lower && i < size; ++i) text[i] = static_cast<char>(std::tolower(text[i]));
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text, size, &written, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    char calls[MAX_PATH];
    char release[MAX_PATH];
    Beside("devcon_state.ini", g_state);
    Beside("devcon_calls.log", calls);
    Beside("devcon_release", release);
    if (FILE* file = std::fopen(calls, "ab")) {
        for (int i = 1; i < argc; ++i) std::fprintf(file, i > 1 ? " %s" : "%s", argv[i]);
        std::fputs("\r\n", file);
        std::fclose(file);
    }
    ::Sleep(Number("delay_ms"));
    for (int waits = Is("hold", "1") ? 2400 : 0; waits > 0; --waits) {
        if (::GetFileAttributesA(release) != INVALID_FILE_ATTRIBUTES) break;
        ::Sleep(50);
    }

    // More than a pipe holds, so that the reader must keep reading while DevCon writes.
    const char filler[] = "ROOT\\SYSTEM\\0000 filler line of the stand-in, no device here\r\n";
    const UINT burst = Number("burst_bytes");
    for (UINT done = 0; done < burst; done += sizeof filler - 1) Out("%s", filler);

    g_lower = Is("case", "lower");
    const char* verb = argc > 1 ? argv[1] : "";
    const bool enabled = !Is("state", "disabled");
    if (argc < 3 || _stricmp(argv[2], "hamachi") != 0 || Is("match", "none")) {
        Out("No matching devices found.\r\n");
    } else if (std::strcmp(verb, "status") == 0) {
        Out("ROOT\\NET\\0000\r\n    Name: Hamachi Network Interface\r\n");
        if (enabled || Is("status", "both")) Out("    Driver is running.\r\n");
        if (!enabled || Is("status", "both")) Out("    Device is disabled.\r\n");
        Out("1 matching device(s) found.\r\n");
    } else {
        const bool enable = std::strcmp(verb, "enable") == 0;
        const bool fails = Is(verb, "fail");
        // The real tool pads the instance to a column of 60 before the verdict.
        Out("%-60s: %s%s\r\n", "ROOT\\NET\\0000", enable ? "Enable" : "Disable",
            fails ? " failed" : "d");
        if (fails) {
            Out(enable ? "No devices are enabled.\r\n" : "No devices disabled.\r\n");
        } else {
            Out(enable ? "1 device(s) are enabled.\r\n" : "1 device(s) disabled.\r\n");
            ::WritePrivateProfileStringA("devcon", "state", enable ? "enabled" : "disabled",
                                         g_state);
        }
    }
    return 0;
}
