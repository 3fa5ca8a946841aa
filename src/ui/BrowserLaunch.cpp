// OpenUrlInBrowser: the shell first, then the program registered for ".htm" (or ".html")
// files, then the error box.
#include "app/SaverApp.h"
#include "ui/UiDecisions.h"

#include <shellapi.h>

#include <cstring>
#include <string>

namespace {

// A registry default value read into a buffer of bufferSize bytes, of which the read is told
// readSize; a value that does not fit that size fails the read.
bool ReadDefaultValue(HKEY hKey, const char* subKey, char* buffer, std::size_t bufferSize, std::size_t readSize,
                      std::string& value)
{
    LONG cb = static_cast<LONG>(readSize);
    if (::RegQueryValueA(hKey, subKey, buffer, &cb) != ERROR_SUCCESS)
        return false;
    // A value stored without its NUL comes back unterminated; never read past what was written.
    const std::size_t written = cb > 0 ? static_cast<std::size_t>(cb) : 0;
    value.assign(buffer, strnlen(buffer, written < bufferSize ? written : bufferSize));
    return true;
}

}  // namespace

BOOL CSaverApp::OpenUrlInBrowser(const char* url, BOOL showError)
{
    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = 0;
    sei.hwnd = nullptr;
    sei.lpVerb = "open";
    sei.lpFile = url;
    sei.nShow = SW_SHOWMAXIMIZED;
    if (::ShellExecuteExA(&sei))
        return TRUE;

    BOOL bResult = FALSE;
    HKEY hRoot = nullptr;
    if (::RegOpenKeyA(HKEY_CLASSES_ROOT, "", &hRoot) == ERROR_SUCCESS) {
        char szClass[HTM_CLASS_BUFFER] = "";
        std::string className;
        bool bFound = ReadDefaultValue(hRoot, ".htm", szClass, sizeof szClass, HTM_CLASS_BUFFER, className);
        if (!bFound)
            bFound = ReadDefaultValue(hRoot, ".html", szClass, sizeof szClass, HTM_CLASS_BUFFER, className);
        std::string keyPath;
        if (bFound && OpenCommandKeyPath(className, keyPath)) {
            char szCommand[OPEN_COMMAND_BUFFER] = "";
            std::string command;
            if (ReadDefaultValue(hRoot, keyPath.c_str(), szCommand, sizeof szCommand, OPEN_COMMAND_READ_SIZE,
                                 command)) {
                const std::string program = ProgramFromOpenCommand(command);
                sei.lpFile = program.c_str();
                sei.lpParameters = url;
                if (::ShellExecuteExA(&sei))
                    bResult = TRUE;
            }
        }
        ::RegCloseKey(hRoot);
    }

    if (showError && !bResult)
        ::MessageBoxA(nullptr, LINK_ERROR_TEXT, url, MB_ICONERROR | MB_OK);
    return bResult;
}
