// What the movie's end-to-end tests need beyond the common harness: the stand-in control
// registered under the Flash class id for the time of a test, its record, savers made with
// saverkit, a small HTTP server on 127.0.0.1, and the notice's expected places.
#pragma once

#include "Harness.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

// Registers the stand-in control as the Flash control in this prefix (HKLM classes, where
// CoCreateInstance finds it under Wine) and removes the registration again when it goes.
class FlashDoubleRegistration {
public:
    FlashDoubleRegistration();
    ~FlashDoubleRegistration();
    FlashDoubleRegistration(const FlashDoubleRegistration&) = delete;
    FlashDoubleRegistration& operator=(const FlashDoubleRegistration&) = delete;
    bool Ok() const { return m_bOk; }

    // Removes any registration, also one a crashed earlier run left behind.
    static void Remove();

private:
    bool m_bOk = false;
};

// The stand-in's record for one test: the file is named through the environment, which the
// saver inherits from this process.
class FlashLog {
public:
    explicit FlashLog(const std::string& dir);
    ~FlashLog();
    std::vector<std::string> Lines() const;
    // The first line that starts with prefix, waiting for it up to timeoutMs.
    bool WaitForLine(const std::string& prefix, DWORD timeoutMs, std::string* pLine = nullptr) const;
    bool HasLine(const std::string& prefix) const;
    // The lines that start with "put " or "reject ", in order.
    std::vector<std::string> Puts() const;

private:
    std::string m_path;
};

// A saver folder made with saverkit: <dir>\<name>.dat and <dir>\<name>.scr, and FILE0000.SWF
// when movie is not empty. makeArgs are saverkit make options. Returns the .scr's path.
std::string MakeSaver(const std::string& dir, const std::string& name, const std::string& makeArgs,
                      const std::vector<std::uint8_t>& movie);

// The saver's data directory for a saver in dir, as it names it: the folder's short form.
std::string DataDirectoryOf(const std::string& dir);

// The first 32 bytes of an uncompressed movie of width x height pixels.
std::vector<std::uint8_t> SwfMovie(std::uint32_t width, std::uint32_t height, bool bCompressed = false);

// The saver window's child made by the stand-in control, or null.
HWND FindControlWindow(HWND hWndSaver);

// A one-thread HTTP/1.0 server on 127.0.0.1 at a free port.
class HttpTestServer {
public:
    enum class Mode {
        Movie,      // 200 with the body given
        ErrorPage,  // 404 with an HTML page
        Silent,     // accepts the connection and never answers
    };
    HttpTestServer(Mode mode, std::vector<std::uint8_t> body = {});
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    bool Ok() const { return m_port != 0; }
    std::string Url(const std::string& path) const;
    // The User-Agent of every request so far.
    std::vector<std::string> Agents() const;
    int Connections() const { return m_nConnections; }

private:
    void Serve();

    Mode m_mode;
    std::vector<std::uint8_t> m_body;
    std::uintptr_t m_listen = ~std::uintptr_t(0);
    unsigned short m_port = 0;
    std::vector<std::uintptr_t> m_held;
    std::atomic<int> m_nConnections{0};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_agents;
    std::thread m_thread;
};

// The notice's text rectangle (0, 0, tw, th) as the default font of a window measures it.
SIZE NoticeTextSize(const std::string& strFirst, const std::string& strSecond);
// The screen rectangle of the notice's n-th drawing (n = 0 first) on a full-screen saver.
RECT ExpectedNoticeRect(const SIZE& text, int n);
// True when white pixels exist inside rc and none outside it.
bool WhiteOnlyInside(const RECT& rc);

}  // namespace e2e
