// Writes "<own path>.args": the command line as received on the first line, then each
// argument (after the program's own name) on a line of its own. The file appears complete
// or not at all, so that a test polling for it never reads half of it.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    char self[MAX_PATH] = "";
    if (!::GetModuleFileNameA(nullptr, self, MAX_PATH))
        return 1;
    const std::string target = std::string(self) + ".args";
    const std::string temp = target + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        return 1;
    std::fprintf(f, "%s\n", ::GetCommandLineA());
    for (int i = 1; i < argc; ++i)
        std::fprintf(f, "%s\n", argv[i]);
    std::fclose(f);
    return ::MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
