// The screen-saver switch on the command line, and the run mode it selects.
#pragma once

#include <cstdint>

enum class RunMode {
    ConfigureNoParent,          // no arguments at all
    ConfigureForegroundParent,  // arguments without a switch, or "/c" without ":" or blank after it
    ConfigureWithParent,        // "/c:N" or "/c N": window N is the parent, even if it is 0
    Run,                        // "/s"
    Preview,                    // "/p N" or "/l N"
    ChangePassword,             // "/a N"
    None,                       // any other letter, or a switch character at the very end
};

struct SaverSwitch {
    RunMode mode;
    // The window number; 0 where the mode takes none or the text gives none. Window handles
    // are 32-bit values even in 64-bit processes, so 32 bits hold every one.
    int32_t nWindow;
};

// args is the command line after the program's own name; null counts as empty.
SaverSwitch ParseSaverSwitch(const char* args);
