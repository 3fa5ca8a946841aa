// The call record the password doubles keep beside themselves.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

inline std::string DoubleDirectory(HMODULE hSelf)
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(hSelf, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

// Appends one line and returns how many lines the log held before it.
inline int AppendCall(HMODULE hSelf, const std::string& line)
{
    const std::string log = DoubleDirectory(hSelf) + "calls.log";
    int before = 0;
    if (FILE* f = std::fopen(log.c_str(), "r")) {
        for (int c; (c = std::fgetc(f)) != EOF;)
            before += c == '\n';
        std::fclose(f);
    }
    if (FILE* f = std::fopen(log.c_str(), "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
    return before;
}

inline HMODULE SelfModule()
{
    HMODULE h = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&SelfModule), &h);
    return h;
}
