// A child process for the process tests, driven by its arguments:
//   bursts N PAUSE_MS   "burst 1\r\n" ... "burst N\r\n", pausing PAUSE_MS between them
//   big BYTES           one write of BYTES bytes, byte i being i % 251 (NULs and CRs included)
//   silent              writes nothing
//   exit CODE           writes "exit CODE\r\n", then exits with CODE
//   late DELAY_MS       silent for DELAY_MS, then writes "late line\r\n"
//   sleep MS            writes nothing, ends after MS
// Output goes straight to the standard output handle with WriteFile, unbuffered, so each
// burst reaches the pipe when the program says.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

bool Write(const std::string& text) {
    DWORD written = 0;
    return ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text.data(),
                       static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

unsigned long Number(const char* text) {
    return std::strtoul(text, nullptr, 10);
}

int Bursts(unsigned long count, unsigned long pauseMs) {
    for (unsigned long i = 1; i <= count; ++i) {
        if (i > 1) ::Sleep(pauseMs);
        if (!Write("burst " + std::to_string(i) + "\r\n")) return 3;
    }
    return 0;
}

int Big(unsigned long bytes) {
    std::string pattern(bytes, '\0');
    for (unsigned long i = 0; i < bytes; ++i) pattern[i] = static_cast<char>(i % 251);
    return Write(pattern) ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const unsigned long first = argc > 2 ? Number(argv[2]) : 0;
    const unsigned long second = argc > 3 ? Number(argv[3]) : 0;
    if (mode == "bursts") return Bursts(first, second);
    if (mode == "big") return Big(first);
    if (mode == "silent") return 0;
    if (mode == "exit") {
        Write("exit " + std::to_string(first) + "\r\n");
        ::ExitProcess(static_cast<UINT>(first));
    }
    if (mode == "late") {
        ::Sleep(first);
        return Write("late line\r\n") ? 0 : 3;
    }
    if (mode == "sleep") {
        ::Sleep(first);
        return 0;
    }
    return 2;
}
