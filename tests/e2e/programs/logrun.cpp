// A command for the Run keys in end-to-end scenarios: appends "<name> start"
// to a log, waits, appends "<name> end", and exits with code 7.
//   logrun.exe <log file> <name> <milliseconds>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

void Append(const char* log, const char* name, const char* what) {
    if (FILE* file = std::fopen(log, "ab")) {
        std::fprintf(file, "%s %s\r\n", name, what);
        std::fclose(file);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    Append(argv[1], argv[2], "start");
    ::Sleep(static_cast<DWORD>(std::atoi(argv[3])));
    Append(argv[1], argv[2], "end");
    return 7;
}
