// CInternetSession: a WinInet session that opens a URL and reads its first bytes.
//
// Every wait is bounded: connect, send and receive time-outs of INTERNET_TIMEOUT_MS are set on
// the session and, for HTTP, on each request handle as well. The request handle is what counts:
// Wine's InternetOpenUrlA ignores the session's time-outs and waits on a server that accepts the
// connection and never answers, while HttpSendRequestA on a request handle honours its own. So
// HTTP and HTTPS URLs are opened as connection + request + send rather than by InternetOpenUrlA.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

constexpr DWORD INTERNET_TIMEOUT_MS = 5000;

// A WinInet call that failed; m_dwError is the system's error code.
class CInternetException {
public:
    explicit CInternetException(DWORD dwError) : m_dwError(dwError) {}
    DWORD m_dwError;
};

// The parts of a URL, after the platform has canonicalised it. m_strObject is the path and what
// follows it (query, fragment) as the platform splits them.
struct CUrlParts {
    INTERNET_SCHEME nScheme = INTERNET_SCHEME_UNKNOWN;
    std::string strServer;
    std::string strObject;
    std::string strUserName;
    std::string strPassword;
    INTERNET_PORT nPort = 0;
};

// InternetCanonicalizeUrlA, then InternetCrackUrlA; FALSE when either refuses the text.
BOOL AfxParseURL(LPCSTR lpszURL, CUrlParts& parts);

// An open URL: the handles a read needs, closed by Close or the destructor.
class CInternetFile {
public:
    ~CInternetFile();
    CInternetFile(const CInternetFile&) = delete;
    CInternetFile& operator=(const CInternetFile&) = delete;

    // Reads until nCount bytes or the end of the data; returns the bytes read. A failed read
    // throws CInternetException.
    UINT Read(void* lpBuf, UINT nCount);
    void Close();

private:
    friend class CInternetSession;
    CInternetFile(HINTERNET hConnect, HINTERNET hFile) : m_hConnect(hConnect), m_hFile(hFile) {}
    HINTERNET m_hConnect;  // null when the URL was opened without a separate connection
    HINTERNET m_hFile;
};

class CInternetSession {
public:
    // InternetOpenA; throws CInternetException when WinInet cannot set up a session.
    explicit CInternetSession(LPCSTR pstrAgent, DWORD_PTR dwContext = 1,
                              DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG, LPCSTR pstrProxyName = nullptr,
                              LPCSTR pstrProxyBypass = nullptr, DWORD dwFlags = 0);
    ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // Opens the URL for reading; the caller deletes the result. Throws CInternetException when
    // the URL cannot be opened, including when the server does not answer within the time-outs.
    CInternetFile* OpenURL(LPCSTR pstrURL, DWORD_PTR dwContext = 1, DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII,
                           LPCSTR pstrHeaders = nullptr, DWORD dwHeadersLength = 0);
    void Close();

private:
    HINTERNET m_hSession = nullptr;
};
