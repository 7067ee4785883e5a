// A stand-in for Microsoft's Device Console as Tunlatch runs it:
//   devcon.exe status|enable|disable PATTERN
// It knows one device, the VPN client's adapter (hardware ID "hamachi", instance ROOT\NET\0000),
// and prints what the real tool prints for it, with CRLF line ends.
//
// Its world lives beside it. devcon_state.ini, section [devcon]:
//   state=enabled|disabled   the adapter's state, kept between runs (missing: enabled)
//   match=none               the adapter is not there: "No matching devices found."
//   case=lower|upper         every line in that letter case (the phrases no longer match)
//   enable=fail              enable prints no ": Enabled" and leaves the state (same: disable)
//   status=both              status prints "Driver is running." and "Device is disabled."
//   status=empty             status prints nothing at all
//   delay_ms=N               waits N ms before it writes anything
//   hold=1                   waits (at most 120 s) until a file devcon_release lies beside it
//   burst_bytes=N            writes N bytes of filler lines before the normal lines
// Every run appends its arguments, blank-separated, as one line to devcon_calls.log, before
// any delay, so a test can count runs and see when one has begun.
//
// Kept free of iostreams and std::string: the file is padded to the real tool's exact size,
// which leaves no room for a heavy runtime.
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "testbed/common/beside_me.h"
#include "testbed/devcon/output_buffer.h"

namespace {

constexpr const char* kSection = "devcon";
constexpr const char* kInstance = "ROOT\\NET\\0000";
constexpr const char* kHardwareId = "hamachi";

struct Paths {
    char state[MAX_PATH];
    char calls[MAX_PATH];
    char release[MAX_PATH];
};

using tunlatch::testbed::BesideMe;

void Setting(const Paths& paths, const char* key, char* out, DWORD size) {
    ::GetPrivateProfileStringA(kSection, key, "", out, size, paths.state);
}

bool SettingIs(const Paths& paths, const char* key, const char* value) {
    char text[64];
    Setting(paths, key, text, sizeof text);
    return _stricmp(text, value) == 0;
}

unsigned long NumberSetting(const Paths& paths, const char* key) {
    char text[32];
    Setting(paths, key, text, sizeof text);
    return std::strtoul(text, nullptr, 10);
}

void AppendCall(const Paths& paths, int argc, char** argv) {
    OutputBuffer line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line.Add(" ");
        line.Add(argv[i]);
    }
    line.Add("\r\n");
    HANDLE file = ::CreateFileA(paths.calls, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, line.Data(), static_cast<DWORD>(line.Size()), &written, nullptr);
    ::CloseHandle(file);
}

// Lets a test keep a run of Tunlatch in the middle of its work for as long as it needs.
void WaitForRelease(const Paths& paths) {
    const ULONGLONG deadline = ::GetTickCount64() + 120000;
    while (::GetFileAttributesA(paths.release) == INVALID_FILE_ATTRIBUTES &&
           ::GetTickCount64() < deadline) {
        ::Sleep(50);
    }
}

// The real tool matches hardware IDs without regard to letter case; "*" matches everything.
bool Matches(const char* pattern) {
    return std::strcmp(pattern, "*") == 0 || _stricmp(pattern, kHardwareId) == 0;
}

void Burst(OutputBuffer& out, unsigned long bytes) {
    static const char kFiller[] =
        "ROOT\\SYSTEM\\0000 filler line of the stand-in, no device here\r\n";
    const unsigned long lineSize = sizeof kFiller - 1;
    for (unsigned long done = 0; done < bytes; done += lineSize) out.Add(kFiller);
}

void Status(const Paths& paths, bool enabled, OutputBuffer& out) {
    out.Add(kInstance);
    out.Add("\r\n    Name: Hamachi Network Interface\r\n");
    if (SettingIs(paths, "status", "both")) {
        out.Add("    Driver is running.\r\n    Device is disabled.\r\n");
    } else {
        out.Add(enabled ? "    Driver is running.\r\n" : "    Device is disabled.\r\n");
    }
    out.Add("1 matching device(s) found.\r\n");
}

// Returns the state after the switch.
bool Switch(const Paths& paths, bool enable, bool enabled, OutputBuffer& out) {
    const bool fails = SettingIs(paths, enable ? "enable" : "disable", "fail");
    // The real tool pads the instance to a column of 60 before the verdict.
    out.Add(kInstance);
    for (size_t n = std::strlen(kInstance); n < 60; ++n) out.Add(" ");
    out.Add(": ");
    out.Add(fails ? (enable ? "Enable failed" : "Disable failed")
                  : (enable ? "Enabled" : "Disabled"));
    out.Add("\r\n");
    if (fails) {
        out.Add(enable ? "No devices are enabled.\r\n" : "No devices disabled.\r\n");
        return enabled;
    }
    out.Add(enable ? "1 device(s) are enabled.\r\n" : "1 device(s) disabled.\r\n");
    return enable;
}

void ApplyCase(const Paths& paths, OutputBuffer& out) {
    if (SettingIs(paths, "case", "lower")) out.Transform(std::tolower);
    if (SettingIs(paths, "case", "upper")) out.Transform(std::toupper);
}

}  // namespace

int main(int argc, char** argv) {
    Paths paths;
    if (!BesideMe("devcon_state.ini", paths.state) || !BesideMe("devcon_calls.log", paths.calls) ||
        !BesideMe("devcon_release", paths.release)) {
        return 2;
    }
    AppendCall(paths, argc, argv);
    if (const unsigned long delay = NumberSetting(paths, "delay_ms")) ::Sleep(delay);
    if (SettingIs(paths, "hold", "1")) WaitForRelease(paths);

    OutputBuffer out;
    Burst(out, NumberSetting(paths, "burst_bytes"));
    const char* verb = argc > 1 ? argv[1] : "";
    const bool found = argc > 2 && Matches(argv[2]) && !SettingIs(paths, "match", "none");
    const bool enabled = !SettingIs(paths, "state", "disabled");
    int rc = 0;
    if (std::strcmp(verb, "status") != 0 && std::strcmp(verb, "enable") != 0 &&
        std::strcmp(verb, "disable") != 0) {
        out.Add("devcon stand-in: unknown command.\r\n");
        rc = 1;
    } else if (!found) {
        out.Add("No matching devices found.\r\n");
    } else if (std::strcmp(verb, "status") == 0) {
        if (!SettingIs(paths, "status", "empty")) Status(paths, enabled, out);
    } else {
        const bool now = Switch(paths, std::strcmp(verb, "enable") == 0, enabled, out);
        if (now != enabled) {
            ::WritePrivateProfileStringA(kSection, "state", now ? "enabled" : "disabled",
                                         paths.state);
        }
    }
    ApplyCase(paths, out);
    return out.WriteTo(::GetStdHandle(STD_OUTPUT_HANDLE)) ? rc : 3;
}
