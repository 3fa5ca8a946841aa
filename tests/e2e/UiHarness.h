// What the configuration UI's end-to-end tests share: saver folders made by saverkit, the
// dialogs of a saver process found by caption and read from outside, clicks on their controls,
// the argument recorder standing in for started programs, and registry values that are put
// back as they were when a test ends.
#pragma once

#include "Harness.h"

#include <string>
#include <vector>

namespace e2e {

// A saver folder made by saverkit with the runtime as <dir>\Saver.scr; returns the .scr path.
std::string MakeSaver(const std::string& testName, const std::string& name, const std::string& description,
                      const std::string& moreArgs = "");

// The visible dialog of the process whose caption is caption, or null after timeoutMs.
HWND WaitForDialog(DWORD pid, const std::string& caption, DWORD timeoutMs);
// Waits until the window is gone.
bool WaitGone(HWND hWnd, DWORD timeoutMs);

std::string ItemText(HWND hDlg, int id);
RECT ItemRect(HWND hDlg, int id);
// A left click in the middle of the control, or dx pixels right of it, through the system's
// input queue. Two clicks on one spot within the double-click time make a double click, which
// a static reports as STN_DBLCLK: a second click soon after the first needs another dx.
void ClickItem(HWND hDlg, int id, int dx = 0);

// A key pressed while the window is the foreground window. A new process's window does not
// always become active at once; when it has not after a while, a click on its client area
// activates it, as a user would.
void PressKeyIn(HWND hWnd, WORD vk);

// Copies the argument recorder into dir under fileName and returns its path. Once started,
// it writes <path>.args: its command line, then one argument per line.
std::string PlaceRecorder(const std::string& dir, const std::string& fileName);
// The arguments (after the program's name) that the recorder at path was started with.
bool WaitForRecordedArgs(const std::string& recorderPath, std::vector<std::string>& args, DWORD timeoutMs);
bool RecordExists(const std::string& recorderPath);
// True while a process runs from the given executable path.
bool ProcessRunningFrom(const std::string& exePath);

// The default value of a key below HKEY_CLASSES_ROOT, set for the time of a test: the
// destructor restores the earlier value, or removes the key again when there was none.
class CClassesRootValue {
public:
    explicit CClassesRootValue(std::string subKey);
    ~CClassesRootValue();
    CClassesRootValue(const CClassesRootValue&) = delete;
    CClassesRootValue& operator=(const CClassesRootValue&) = delete;

    bool Set(const std::string& value);
    bool Remove();

private:
    std::string m_subKey;
    bool m_bExisted = false;
    bool m_bHadValue = false;
    std::string m_value;
};

// The test prefix's http handler made to start the given program with the URL.
std::string OpenCommandFor(const std::string& program);

}  // namespace e2e
