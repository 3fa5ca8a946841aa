#include "Harness.h"

#include <cstdio>
#include <cstring>

namespace e2e {

Settings& Config()
{
    static Settings s;
    return s;
}

std::string ToWindowsPath(const char* path)
{
    std::string p = path;
    if (p.size() >= 2 && p[1] == ':')
        return p;
    std::string w = "Z:" + p;
    for (char& c : w)
        if (c == '/')
            c = '\\';
    return w;
}

std::string DirName(const std::string& path)
{
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool CopyTo(const std::string& from, const std::string& to)
{
    return ::CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (cond())
            return true;
        if (::GetTickCount() - start > timeoutMs)
            return cond();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(20);
    }
}

Process::~Process()
{
    Kill();
}

bool Process::Start(const std::string& exe, const std::string& args, const std::string& cwd)
{
    Kill();
    std::string cmd = "\"" + exe + "\"";
    if (!args.empty())
        cmd += " " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::vector<char> buf(cmd.begin(), cmd.end());
    buf.push_back('\0');
    return ::CreateProcessA(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            cwd.empty() ? nullptr : cwd.c_str(), &si, &m_pi) != FALSE;
}

bool Process::WaitExit(DWORD timeoutMs, DWORD* pCode)
{
    if (!m_pi.hProcess)
        return true;
    if (!WaitUntil([&] { return ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs))
        return false;
    if (pCode)
        ::GetExitCodeProcess(m_pi.hProcess, pCode);
    return true;
}

bool Process::Running() const
{
    return m_pi.hProcess && ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

void Process::Kill()
{
    if (!m_pi.hProcess)
        return;
    if (Running()) {
        ::TerminateProcess(m_pi.hProcess, 99);
        ::WaitForSingleObject(m_pi.hProcess, 5000);
    }
    ::CloseHandle(m_pi.hThread);
    ::CloseHandle(m_pi.hProcess);
    m_pi = {};
}

DWORD RunToEnd(const std::string& exe, const std::string& args, DWORD timeoutMs, std::string* pOut)
{
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE hRead = nullptr, hWrite = nullptr;
    if (!::CreatePipe(&hRead, &hWrite, &sa, 0))
        return ~0u;
    ::SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = hWrite;
    si.hStdError = hWrite;
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    std::string cmd = "\"" + exe + "\" " + args;
    std::vector<char> buf(cmd.begin(), cmd.end());
    buf.push_back('\0');
    PROCESS_INFORMATION pi{};
    const BOOL ok = ::CreateProcessA(exe.c_str(), buf.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                     nullptr, nullptr, &si, &pi);
    ::CloseHandle(hWrite);
    if (!ok) {
        ::CloseHandle(hRead);
        return ~0u;
    }
    std::string out;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(hRead, chunk, sizeof chunk, &got, nullptr) && got > 0)
        out.append(chunk, got);
    ::CloseHandle(hRead);
    DWORD code = ~0u;
    if (::WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(pi.hProcess, &code);
    else
        ::TerminateProcess(pi.hProcess, 99);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    if (pOut)
        *pOut = out;
    return code;
}

std::vector<HWND> VisibleTopWindows(DWORD pid)
{
    struct Ctx {
        DWORD pid;
        std::vector<HWND> found;
    } ctx{pid, {}};
    ::EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(h, &owner);
            if (owner == c->pid && ::IsWindowVisible(h))
                c->found.push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

HWND WaitForTopWindow(DWORD pid, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            auto all = VisibleTopWindows(pid);
            found = all.empty() ? nullptr : all.front();
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

std::string ClassName(HWND hWnd)
{
    char name[256] = "";
    ::GetClassNameA(hWnd, name, sizeof name);
    return name;
}

std::string WindowText(HWND hWnd)
{
    char text[1024] = "";
    ::GetWindowTextA(hWnd, text, sizeof text);
    return text;
}

COLORREF ScreenPixel(int x, int y)
{
    HDC hdc = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(hdc, x, y);
    ::ReleaseDC(nullptr, hdc);
    return c;
}

namespace {

// The screen's pixels in the rectangle, top-down, 32 bits each (0x00RRGGBB).
std::vector<DWORD> GrabScreen(const RECT& rc)
{
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    std::vector<DWORD> pixels(static_cast<size_t>(w > 0 ? w : 0) * static_cast<size_t>(h > 0 ? h : 0));
    if (pixels.empty())
        return pixels;
    HDC hdcScreen = ::GetDC(nullptr);
    HDC hdcMem = ::CreateCompatibleDC(hdcScreen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP hbm = ::CreateDIBSection(hdcMem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(hdcMem, hbm);
    ::BitBlt(hdcMem, 0, 0, w, h, hdcScreen, rc.left, rc.top, SRCCOPY);
    ::GdiFlush();
    std::memcpy(pixels.data(), bits, pixels.size() * 4);
    ::SelectObject(hdcMem, old);
    ::DeleteObject(hbm);
    ::DeleteDC(hdcMem);
    ::ReleaseDC(nullptr, hdcScreen);
    for (DWORD& p : pixels)
        p &= 0x00FFFFFF;
    return pixels;
}

}  // namespace

int CountPixels(const RECT& rc, COLORREF colour)
{
    const DWORD want = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    int n = 0;
    for (DWORD p : GrabScreen(rc))
        n += p == want;
    return n;
}

void SaveScreenshot(const std::string& name)
{
    if (Config().shotsDir.empty())
        return;
    ::CreateDirectoryA(Config().shotsDir.c_str(), nullptr);
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    std::vector<DWORD> pixels = GrabScreen({0, 0, w, h});
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = -h;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size() * 4);
    const std::string path = Config().shotsDir + "\\" + name + ".bmp";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&fh, sizeof fh, 1, f);
        std::fwrite(&ih, sizeof ih, 1, f);
        std::fwrite(pixels.data(), 4, pixels.size(), f);
        std::fclose(f);
    }
}

namespace {

void SendKey(WORD vk, bool up)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &in, sizeof in);
}

}  // namespace

void PressKey(WORD vk)
{
    PressKeys({vk});
}

void PressKeys(std::initializer_list<WORD> keys)
{
    for (WORD vk : keys)
        SendKey(vk, false);
    for (auto it = keys.end(); it != keys.begin();)
        SendKey(*--it, true);
}

void MoveCursorTo(int x, int y)
{
    // Absolute input in the 0..65535 space. The system maps it back as n * size / 65536,
    // truncating, so round up to land on exactly (x, y).
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((x * 65536 + w - 1) / w);
    in.mi.dy = static_cast<LONG>((y * 65536 + h - 1) / h);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof in);
}

void Click(DWORD downFlag, DWORD upFlag)
{
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = downFlag;
    in[1].mi.dwFlags = upFlag;
    ::SendInput(2, in, sizeof in[0]);
}

std::string FreshDir(const std::string& name)
{
    const std::string root = Config().buildDir + "\\e2e-work";
    ::CreateDirectoryA(root.c_str(), nullptr);
    const std::string dir = root + "\\" + name;
    // Empty what an earlier run left (files only; the tests make no subfolders but "data").
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileA((dir + "\\" + fd.cFileName).c_str());
        } while (::FindNextFileA(h, &fd));
        ::FindClose(h);
    }
    ::CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

}  // namespace e2e
