#include "MovieHarness.h"

#include "SwfHeaderBuilder.h"
#include "movie/MissingNotice.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace e2e {

namespace {

const char kClsidKey[] = "Software\\Classes\\CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";
const char kLogEnv[] = "VF_FLASHDOUBLE_LOG";

std::string DoublePath()
{
    return Config().buildDir + "\\tests\\support\\flashdouble\\flashdouble.dll";
}

bool SetString(HKEY hKey, const char* name, const std::string& value)
{
    return ::RegSetValueExA(hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool StartsWith(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

FlashDoubleRegistration::FlashDoubleRegistration()
{
    Remove();
    HKEY hKey = nullptr;
    const std::string key = std::string(kClsidKey) + "\\InprocServer32";
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr) !=
        ERROR_SUCCESS)
        return;
    m_bOk = SetString(hKey, nullptr, DoublePath()) && SetString(hKey, "ThreadingModel", "Apartment") &&
            ::GetFileAttributesA(DoublePath().c_str()) != INVALID_FILE_ATTRIBUTES;
    ::RegCloseKey(hKey);
}

FlashDoubleRegistration::~FlashDoubleRegistration()
{
    Remove();
}

void FlashDoubleRegistration::Remove()
{
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kClsidKey);
}

FlashLog::FlashLog(const std::string& dir) : m_path(dir + "\\flashdouble.log")
{
    ::DeleteFileA(m_path.c_str());
    ::SetEnvironmentVariableA(kLogEnv, m_path.c_str());
}

FlashLog::~FlashLog()
{
    ::SetEnvironmentVariableA(kLogEnv, nullptr);
}

std::vector<std::string> FlashLog::Lines() const
{
    std::vector<std::string> lines;
    std::ifstream in(m_path, std::ios::binary);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

bool FlashLog::HasLine(const std::string& prefix) const
{
    for (const std::string& line : Lines())
        if (StartsWith(line, prefix))
            return true;
    return false;
}

bool FlashLog::WaitForLine(const std::string& prefix, DWORD timeoutMs, std::string* pLine) const
{
    return WaitUntil(
        [&] {
            for (const std::string& line : Lines()) {
                if (StartsWith(line, prefix)) {
                    if (pLine)
                        *pLine = line;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
}

std::vector<std::string> FlashLog::Puts() const
{
    std::vector<std::string> puts;
    for (const std::string& line : Lines())
        if (StartsWith(line, "put ") || StartsWith(line, "reject "))
            puts.push_back(line);
    return puts;
}

std::string MakeSaver(const std::string& dir, const std::string& name, const std::string& makeArgs,
                      const std::vector<std::uint8_t>& movie)
{
    if (!movie.empty()) {
        std::ofstream out(dir + "\\FILE0000.SWF", std::ios::binary);
        out.write(reinterpret_cast<const char*>(movie.data()), static_cast<std::streamsize>(movie.size()));
    }
    const std::string saverkit = Config().buildDir + "\\tools\\saverkit\\saverkit.exe";
    const std::string args = "make --out \"" + dir + "\" --name \"" + name + "\" --scr \"" + Config().scr + "\" " + makeArgs;
    std::string out;
    if (RunToEnd(saverkit, args, 30000, &out) != 0) {
        std::fprintf(stderr, "saverkit failed: %s\n", out.c_str());
        return std::string();
    }
    return dir + "\\" + name + ".scr";
}

std::string DataDirectoryOf(const std::string& dir)
{
    char buf[MAX_PATH];
    const DWORD n = ::GetShortPathNameA(dir.c_str(), buf, sizeof buf);
    return (n > 0 && n < sizeof buf ? std::string(buf, n) : dir) + "\\";
}

std::vector<std::uint8_t> SwfMovie(std::uint32_t width, std::uint32_t height, bool bCompressed)
{
    const auto header = BuildSwfHeader({15, 0, width * 20, 0, height * 20});
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    if (bCompressed)
        bytes[0] = 'C';
    return bytes;
}

HWND FindControlWindow(HWND hWndSaver)
{
    return ::FindWindowExA(hWndSaver, nullptr, "VfFlashDouble", nullptr);
}

// ---------------------------------------------------------------------------------------------

HttpTestServer::HttpTestServer(Mode mode, std::vector<std::uint8_t> body) : m_mode(mode), m_body(std::move(body))
{
    WSADATA wsa;
    if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return;
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    int len = sizeof addr;
    if (::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(s, 8) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::closesocket(s);
        return;
    }
    m_listen = s;
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

HttpTestServer::~HttpTestServer()
{
    if (m_listen != ~std::uintptr_t(0))
        ::closesocket(static_cast<SOCKET>(m_listen));
    if (m_thread.joinable())
        m_thread.join();
    for (std::uintptr_t s : m_held)
        ::closesocket(static_cast<SOCKET>(s));
    ::WSACleanup();
}

std::string HttpTestServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<std::string> HttpTestServer::Agents() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_agents;
}

void HttpTestServer::Serve()
{
    for (;;) {
        SOCKET c = ::accept(static_cast<SOCKET>(m_listen), nullptr, nullptr);
        if (c == INVALID_SOCKET)
            return;  // the listening socket was closed: the server stops
        ++m_nConnections;
        if (m_mode == Mode::Silent) {
            m_held.push_back(c);  // never read, never answered, closed when the server goes
            continue;
        }
        std::string request;
        char buf[2048];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const int got = ::recv(c, buf, sizeof buf, 0);
            if (got <= 0)
                break;
            request.append(buf, static_cast<size_t>(got));
        }
        std::istringstream lines(request);
        std::string line;
        while (std::getline(lines, line)) {
            if (StartsWith(line, "User-Agent: ")) {
                std::string agent = line.substr(12);
                if (!agent.empty() && agent.back() == '\r')
                    agent.pop_back();
                std::lock_guard<std::mutex> lock(m_mutex);
                m_agents.push_back(agent);
            }
        }
        std::string response;
        if (m_mode == Mode::Movie) {
            response = "HTTP/1.0 200 OK\r\nContent-Type: application/x-shockwave-flash\r\nContent-Length: " +
                       std::to_string(m_body.size()) + "\r\nConnection: close\r\n\r\n";
            response.append(m_body.begin(), m_body.end());
        } else {
            const std::string page = "<html><body><h1>404 Not Found</h1></body></html>";
            response = "HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: " +
                       std::to_string(page.size()) + "\r\nConnection: close\r\n\r\n" + page;
        }
        ::send(c, response.data(), static_cast<int>(response.size()), 0);
        ::shutdown(c, SD_SEND);
        ::closesocket(c);
    }
}

// ---------------------------------------------------------------------------------------------

SIZE NoticeTextSize(const std::string& strFirst, const std::string& strSecond)
{
    // A window's DC starts with the same default font as the screen's.
    HDC hdc = ::GetDC(nullptr);
    SIZE a{}, b{};
    ::GetTextExtentPoint32A(hdc, strFirst.c_str(), static_cast<int>(strFirst.size()), &a);
    ::GetTextExtentPoint32A(hdc, strSecond.c_str(), static_cast<int>(strSecond.size()), &b);
    RECT rc{0, 0, a.cx > b.cx ? a.cx : b.cx, 0};
    const std::string text = strFirst + "\r\n" + strSecond;
    const int h = ::DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &rc, NOTICE_MEASURE_FORMAT);
    ::ReleaseDC(nullptr, hdc);
    return {rc.right, h};
}

RECT ExpectedNoticeRect(const SIZE& text, int n)
{
    CRuntimeRandom random;
    NoticeOffset off{0, 0};
    const int W = ::GetSystemMetrics(SM_CXSCREEN), H = ::GetSystemMetrics(SM_CYSCREEN);
    for (int i = 0; i <= n; ++i)
        off = PlaceNotice(random, W, H, text.cx, text.cy);
    return {off.dx, off.dy, off.dx + text.cx, off.dy + text.cy};
}

bool WhiteOnlyInside(const RECT& rc)
{
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const int inside = CountPixels(rc, RGB(255, 255, 255));
    return inside > 0 && CountPixels(screen, RGB(255, 255, 255)) == inside;
}

}  // namespace e2e
