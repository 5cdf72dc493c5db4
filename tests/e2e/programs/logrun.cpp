// A command for the Run keys in end-to-end scenarios: appends "<name> start"
// to a log, waits, appends "<name> end", and exits with code 7.
//   logrun.exe <log file> <name> <milliseconds>
// Started without arguments it logs under its own base name into log.txt
// beside itself, at once: it shows which file a bare path started.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Append(const char* log, const char* name, const char* what) {
    if (FILE* file = std::fopen(log, "ab")) {
        std::fprintf(file, "%s %s\r\n", name, what);
        std::fclose(file);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 1) {
        char path[MAX_PATH] = {};
        std::string self(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
        std::size_t slash = self.find_last_of('\\');
        std::string folder = self.substr(0, slash + 1);
        std::string name = self.substr(slash + 1, self.rfind('.') - slash - 1);
        std::string log = folder + "log.txt";
        Append(log.c_str(), name.c_str(), "start");
        Append(log.c_str(), name.c_str(), "end");
        return 7;
    }
    if (argc < 4) return 2;
    Append(argv[1], argv[2], "start");
    ::Sleep(static_cast<DWORD>(std::atoi(argv[3])));
    Append(argv[1], argv[2], "end");
    return 7;
}
