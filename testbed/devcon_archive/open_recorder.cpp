// Stands in for the program the shell opens a document or an address with: it appends its
// command line to the file named by its first argument, so a test sees what was opened without
// a window appearing.
//   open_recorder.exe RECORD-FILE IGNORED [what the shell passes...]
#include <windows.h>

#include <fstream>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::ofstream(argv[1], std::ios::binary | std::ios::app) << ::GetCommandLineA() << "\r\n";
    return 0;
}
