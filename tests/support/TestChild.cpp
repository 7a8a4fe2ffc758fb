// A child process for tests that need a real other process:
//   sleep SECONDS               run that long, then exit 0
//   exit CODE                   exit at once with that code (259 included)
//   hold FILE SECONDS MARKER    open FILE (made when missing) with share mode 0,
//                               create MARKER once it is held, keep it that long
// Exit code 2 for bad arguments, 3 when FILE cannot be opened.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

DWORD Milliseconds(const char* seconds) { return static_cast<DWORD>(std::atof(seconds) * 1000.0); }

int Hold(const char* file, const char* seconds, const char* marker) {
    HANDLE held = ::CreateFileA(file, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 3;
    HANDLE signal = ::CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (signal != INVALID_HANDLE_VALUE) ::CloseHandle(signal);
    ::Sleep(Milliseconds(seconds));
    ::CloseHandle(held);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "sleep") == 0) {
        ::Sleep(Milliseconds(argv[2]));
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "exit") == 0) {
        ::ExitProcess(static_cast<UINT>(std::strtoul(argv[2], nullptr, 10)));
    }
    if (argc == 5 && std::strcmp(argv[1], "hold") == 0) return Hold(argv[2], argv[3], argv[4]);
    std::fprintf(stderr, "usage: vantik_testchild sleep S | exit CODE | hold FILE S MARKER\n");
    return 2;
}
