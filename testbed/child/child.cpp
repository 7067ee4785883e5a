// A child process for the process tests and the capture benchmark, driven by its arguments:
//   big BYTES           one write of BYTES NUL bytes
//   exit CODE           "exit CODE\r\n", then ends with CODE
//   late DELAY_MS [N]   silent for DELAY_MS, then "late line\r\n"; N times (once without N)
//   handles             a line for each file it inherited ("file PATH") and for each pipe end
//                       it could read from ("readable pipe")
//   waits GO DONE       silent until the named event GO is set, then sets the named event DONE:
//                       a child that never ends of itself
//   parent PATH         writes the file name of the program that started it into PATH
// Each write goes straight to the standard output handle, so it reaches the pipe when made.
#include <windows.h>

#include <tlhelp32.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Write(const std::string& text) {
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
                &written, nullptr);
}

// Inherited handles keep the values they have in the parent, which are small.
std::string InheritedHandles() {
    std::string lines;
    for (std::uintptr_t value = 4; value < 0x4000; value += 4) {
        const auto handle = reinterpret_cast<HANDLE>(value);
        char path[MAX_PATH];
        DWORD waiting = 0;
        if (::GetFileType(handle) == FILE_TYPE_DISK &&
            ::GetFinalPathNameByHandleA(handle, path, MAX_PATH, 0) != 0)
            lines += "file " + std::string(path) + "\r\n";
        if (::GetFileType(handle) == FILE_TYPE_PIPE &&
            ::PeekNamedPipe(handle, nullptr, 0, nullptr, &waiting, nullptr))
            lines += "readable pipe\r\n";
    }
    return lines;
}

// The parent's ID is in the child's own entry, the parent's name in the parent's.
std::string ParentName() {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    std::string name;
    for (int pass = 0; pass < 2; ++pass)
        for (BOOL more = ::Process32First(snapshot, &entry); more;
             more = ::Process32Next(snapshot, &entry)) {
            if (pass == 0 && entry.th32ProcessID == ::GetCurrentProcessId())
                parent = entry.th32ParentProcessID;
            if (pass == 1 && entry.th32ProcessID == parent) name = entry.szExeFile;
        }
    ::CloseHandle(snapshot);
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const unsigned long first = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 0;
    if (mode == "big") {
        Write(std::string(first, '\0'));
    } else if (mode == "exit") {
        Write("exit " + std::to_string(first) + "\r\n");
        return static_cast<int>(first);
    } else if (mode == "late") {
        const unsigned long times = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 1;
        for (unsigned long i = 0; i < times; ++i, Write("late line\r\n")) ::Sleep(first);
    } else if (mode == "handles") {
        Write(InheritedHandles());
    } else if (mode == "waits" && argc > 3) {
        ::WaitForSingleObject(::OpenEventA(SYNCHRONIZE, FALSE, argv[2]), INFINITE);
        ::SetEvent(::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]));
    } else if (mode == "parent" && argc > 2) {
        const std::string name = ParentName();
        const HANDLE file = ::CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ::WriteFile(file, name.data(), static_cast<DWORD>(name.size()), &written, nullptr);
        ::CloseHandle(file);
    } else {
        return 2;
    }
    return 0;
}
