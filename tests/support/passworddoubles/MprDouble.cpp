#include "CallLog.h"

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR lpcRegkeyname, HWND hwnd, DWORD dwReserved1, DWORD dwReserved2)
{
    char line[256];
    std::snprintf(line, sizeof line, "PwdChangePasswordA %s %p %lu %lu", lpcRegkeyname ? lpcRegkeyname : "(null)",
                  static_cast<void*>(hwnd), dwReserved1, dwReserved2);
    AppendCall(SelfModule(), line);
    return 0;
}
