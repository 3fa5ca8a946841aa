#include "UiHarness.h"

#include <tlhelp32.h>

#include <cstdio>
#include <fstream>

namespace e2e {

std::string MakeSaver(const std::string& testName, const std::string& name, const std::string& description,
                      const std::string& moreArgs)
{
    const std::string dir = FreshDir(testName);
    const std::string saverkit = Config().buildDir + "\\tools\\saverkit\\saverkit.exe";
    std::string out;
    const DWORD code = RunToEnd(saverkit,
                                "make --out \"" + dir + "\" --name \"" + name + "\" --file-name Saver --description \"" +
                                    description + "\" --scr \"" + Config().scr + "\" " + moreArgs,
                                60000, &out);
    if (code != 0)
        std::fprintf(stderr, "saverkit failed (%lu): %s\n", static_cast<unsigned long>(code), out.c_str());
    return dir + "\\Saver.scr";
}

HWND WaitForDialog(DWORD pid, const std::string& caption, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : VisibleTopWindows(pid))
                if (WindowText(h) == caption) {
                    found = h;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return found;
}

bool WaitGone(HWND hWnd, DWORD timeoutMs)
{
    return WaitUntil([&] { return !::IsWindow(hWnd) || !::IsWindowVisible(hWnd); }, timeoutMs);
}

std::string ItemText(HWND hDlg, int id)
{
    // WM_GETTEXT is carried across processes, so the control's own text comes back.
    char text[4096] = "";
    ::GetDlgItemTextA(hDlg, id, text, sizeof text);
    return text;
}

RECT ItemRect(HWND hDlg, int id)
{
    RECT rc{};
    ::GetWindowRect(::GetDlgItem(hDlg, id), &rc);
    return rc;
}

void ClickItem(HWND hDlg, int id, int dx)
{
    const RECT rc = ItemRect(hDlg, id);
    MoveCursorTo((rc.left + rc.right) / 2 + dx, (rc.top + rc.bottom) / 2);
    Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}

void PressKeyIn(HWND hWnd, WORD vk)
{
    auto isForeground = [&] { return ::GetForegroundWindow() == hWnd; };
    if (!WaitUntil(isForeground, 3000)) {
        POINT pt{4, 4};
        ::ClientToScreen(hWnd, &pt);
        MoveCursorTo(pt.x, pt.y);
        Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
        WaitUntil(isForeground, 3000);
    }
    PressKey(vk);
}

std::string PlaceRecorder(const std::string& dir, const std::string& fileName)
{
    const std::string path = dir + "\\" + fileName;
    ::DeleteFileA((path + ".args").c_str());
    CopyTo(Config().buildDir + "\\tests\\support\\argrecorder\\argrecorder.exe", path);
    return path;
}

bool RecordExists(const std::string& recorderPath)
{
    return ::GetFileAttributesA((recorderPath + ".args").c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WaitForRecordedArgs(const std::string& recorderPath, std::vector<std::string>& args, DWORD timeoutMs)
{
    if (!WaitUntil([&] { return RecordExists(recorderPath); }, timeoutMs))
        return false;
    std::ifstream in(recorderPath + ".args");
    std::string line;
    std::getline(in, line);  // the command line as a whole
    args.clear();
    while (std::getline(in, line))
        args.push_back(line);
    return true;
}

bool ProcessRunningFrom(const std::string& exePath)
{
    const std::string file = exePath.substr(exePath.find_last_of('\\') + 1);
    HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32 pe{};
    pe.dwSize = sizeof pe;
    bool running = false;
    for (BOOL ok = ::Process32First(snap, &pe); ok && !running; ok = ::Process32Next(snap, &pe))
        running = lstrcmpiA(pe.szExeFile, file.c_str()) == 0;
    ::CloseHandle(snap);
    return running;
}

CClassesRootValue::CClassesRootValue(std::string subKey) : m_subKey(std::move(subKey))
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, m_subKey.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return;
    m_bExisted = true;
    char buf[1024] = "";
    DWORD cb = sizeof buf, type = 0;
    if (::RegQueryValueExA(hKey, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buf), &cb) == ERROR_SUCCESS) {
        m_bHadValue = true;
        m_value.assign(buf, strnlen(buf, cb));
    }
    ::RegCloseKey(hKey);
}

CClassesRootValue::~CClassesRootValue()
{
    if (!m_bExisted) {
        ::RegDeleteTreeA(HKEY_CLASSES_ROOT, m_subKey.c_str());
        ::RegDeleteKeyA(HKEY_CLASSES_ROOT, m_subKey.c_str());
    } else if (m_bHadValue) {
        ::RegSetValueA(HKEY_CLASSES_ROOT, m_subKey.c_str(), REG_SZ, m_value.c_str(), 0);
    } else {
        Remove();
    }
}

bool CClassesRootValue::Set(const std::string& value)
{
    return ::RegSetValueA(HKEY_CLASSES_ROOT, m_subKey.c_str(), REG_SZ, value.c_str(), 0) == ERROR_SUCCESS;
}

bool CClassesRootValue::Remove()
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, m_subKey.c_str(), 0, KEY_SET_VALUE, &hKey) != ERROR_SUCCESS)
        return true;
    const LONG rc = ::RegDeleteValueA(hKey, nullptr);
    ::RegCloseKey(hKey);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

std::string OpenCommandFor(const std::string& program)
{
    return "\"" + program + "\" \"%1\"";
}

}  // namespace e2e
