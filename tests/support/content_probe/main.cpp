// content_probe report        prints the saver base name, the data directory and the
//                             settings file's name field, one "key=value" a line
// content_probe hold FILE     opens FILE for writing, prints "held", and keeps it open
//                             until its standard input ends
#include "content/DataDirectory.h"
#include "content/SettingsFileWin.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

int Report()
{
    const std::string dataDir = GetDataDirectory();
    std::printf("base=%s\n", GetSaverBaseName().c_str());
    std::printf("dir=%s\n", dataDir.c_str());
    CFile file;
    if (!OpenSettingsFile(dataDir, file)) {
        std::printf("settings=missing\n");
        return 0;
    }
    const SaverTexts texts = ReadSaverTexts(file);
    file.Close();
    std::printf("settings=opened\n");
    std::printf("name=%s\n", FieldText(texts.szName).c_str());
    return 0;
}

int Hold(const char* path)
{
    HANDLE file = ::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "content_probe: cannot open %s for writing (%lu)\n", path, ::GetLastError());
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    char buffer[64];
    DWORD read = 0;
    HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    while (::ReadFile(input, buffer, sizeof buffer, &read, nullptr) && read != 0) {
    }
    ::CloseHandle(file);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "report") == 0)
        return Report();
    if (argc == 3 && std::strcmp(argv[1], "hold") == 0)
        return Hold(argv[2]);
    std::fprintf(stderr, "usage: content_probe report | content_probe hold FILE\n");
    return 2;
}
