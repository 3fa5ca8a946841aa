#include "Harness.h"

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strncmp(a, "--scr=", 6) == 0)
            e2e::Config().scr = e2e::ToWindowsPath(a + 6);
        else if (std::strncmp(a, "--tools=", 8) == 0)
            e2e::Config().buildDir = e2e::ToWindowsPath(a + 8);
        else if (std::strncmp(a, "--shots=", 8) == 0)
            e2e::Config().shotsDir = e2e::ToWindowsPath(a + 8);
    }
    if (e2e::Config().scr.empty()) {
        std::fprintf(stderr, "usage: e2e_tests --scr=PATH [--tools=BUILD_DIR] [--shots=DIR]\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
