// What the end-to-end tests do as a user would: start the saver, find its windows, read the
// screen, press keys and move the mouse. Everything waits for a condition with a deadline.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

struct Settings {
    std::string scr;       // the built .scr
    std::string buildDir;  // the Windows build tree (saverkit.exe, test doubles)
    std::string shotsDir;  // where screenshots are kept for people to look at
};
Settings& Config();

// "/a/b" as Wine's Z: drive sees it; a path with a drive letter is returned unchanged.
std::string ToWindowsPath(const char* path);
std::string DirName(const std::string& path);
bool CopyTo(const std::string& from, const std::string& to);

// Polls cond until it holds or timeoutMs have passed; pumps this thread's messages meanwhile.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs);

class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Start(const std::string& exe, const std::string& args, const std::string& cwd = "");
    // True when the process ended within timeoutMs; its exit code goes to *pCode.
    bool WaitExit(DWORD timeoutMs, DWORD* pCode = nullptr);
    bool Running() const;
    void Kill();
    DWORD Pid() const { return m_pi.dwProcessId; }

private:
    PROCESS_INFORMATION m_pi{};
};

// Runs a program to its end and returns its exit code (or ~0u after timeoutMs); its standard
// output goes to *pOut when given.
DWORD RunToEnd(const std::string& exe, const std::string& args, DWORD timeoutMs = 30000,
               std::string* pOut = nullptr);

// The visible top-level windows of a process, in z-order.
std::vector<HWND> VisibleTopWindows(DWORD pid);
HWND WaitForTopWindow(DWORD pid, DWORD timeoutMs);
std::string ClassName(HWND hWnd);
std::string WindowText(HWND hWnd);

// The screen as a user sees it.
COLORREF ScreenPixel(int x, int y);
// Counts pixels of the given colour in the rectangle.
int CountPixels(const RECT& rc, COLORREF colour);
void SaveScreenshot(const std::string& name);

// Input, through the system's input queue as a user's would arrive.
void PressKey(WORD vk);
void PressKeys(std::initializer_list<WORD> keys);  // held down in order, released in reverse
void MoveCursorTo(int x, int y);
void Click(DWORD downFlag, DWORD upFlag);

// A fresh, empty folder for one test: <build>\e2e-work\<name>.
std::string FreshDir(const std::string& name);

}  // namespace e2e
