#include "framework/InternetSession.h"

#include <vector>

namespace {

void SetTimeouts(HINTERNET h)
{
    DWORD ms = INTERNET_TIMEOUT_MS;
    ::InternetSetOptionA(h, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms);
    ::InternetSetOptionA(h, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof ms);
    ::InternetSetOptionA(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
    ::InternetSetOptionA(h, INTERNET_OPTION_DATA_SEND_TIMEOUT, &ms, sizeof ms);
    ::InternetSetOptionA(h, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &ms, sizeof ms);
}

[[noreturn]] void ThrowLastError()
{
    const DWORD dwError = ::GetLastError();
    throw CInternetException(dwError ? dwError : ERROR_INTERNET_INTERNAL_ERROR);
}

void CloseHandleOf(HINTERNET& h)
{
    if (h) {
        ::InternetCloseHandle(h);
        h = nullptr;
    }
}

}  // namespace

BOOL AfxParseURL(LPCSTR lpszURL, CUrlParts& parts)
{
    if (!lpszURL)
        return FALSE;
    // Canonical text is at most a few times longer (every unsafe byte as %XX); ask again when
    // the platform says the buffer is short.
    DWORD cch = static_cast<DWORD>(std::char_traits<char>::length(lpszURL)) * 3 + 1;
    std::vector<char> canonical(cch);
    if (!::InternetCanonicalizeUrlA(lpszURL, canonical.data(), &cch, ICU_BROWSER_MODE)) {
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return FALSE;
        canonical.resize(cch + 1);
        cch = static_cast<DWORD>(canonical.size());
        if (!::InternetCanonicalizeUrlA(lpszURL, canonical.data(), &cch, ICU_BROWSER_MODE))
            return FALSE;
    }

    const size_t n = std::char_traits<char>::length(canonical.data()) + 1;
    std::vector<char> scheme(n), host(n), user(n), password(n), path(n), extra(n);
    URL_COMPONENTSA uc{};
    uc.dwStructSize = sizeof uc;
    uc.lpszScheme = scheme.data();
    uc.dwSchemeLength = static_cast<DWORD>(n);
    uc.lpszHostName = host.data();
    uc.dwHostNameLength = static_cast<DWORD>(n);
    uc.lpszUserName = user.data();
    uc.dwUserNameLength = static_cast<DWORD>(n);
    uc.lpszPassword = password.data();
    uc.dwPasswordLength = static_cast<DWORD>(n);
    uc.lpszUrlPath = path.data();
    uc.dwUrlPathLength = static_cast<DWORD>(n);
    uc.lpszExtraInfo = extra.data();
    uc.dwExtraInfoLength = static_cast<DWORD>(n);
    if (!::InternetCrackUrlA(canonical.data(), 0, 0, &uc))
        return FALSE;

    parts.nScheme = uc.nScheme;
    parts.strServer.assign(host.data(), uc.dwHostNameLength);
    parts.strObject.assign(path.data(), uc.dwUrlPathLength);
    parts.strObject.append(extra.data(), uc.dwExtraInfoLength);
    parts.strUserName.assign(user.data(), uc.dwUserNameLength);
    parts.strPassword.assign(password.data(), uc.dwPasswordLength);
    parts.nPort = uc.nPort;
    return TRUE;
}

CInternetFile::~CInternetFile()
{
    Close();
}

UINT CInternetFile::Read(void* lpBuf, UINT nCount)
{
    auto* bytes = static_cast<BYTE*>(lpBuf);
    UINT total = 0;
    while (total < nCount) {
        DWORD got = 0;
        if (!::InternetReadFile(m_hFile, bytes + total, nCount - total, &got))
            ThrowLastError();
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

void CInternetFile::Close()
{
    CloseHandleOf(m_hFile);
    CloseHandleOf(m_hConnect);
}

CInternetSession::CInternetSession(LPCSTR pstrAgent, DWORD_PTR dwContext, DWORD dwAccessType,
                                   LPCSTR pstrProxyName, LPCSTR pstrProxyBypass, DWORD dwFlags)
{
    // Synchronous handles report no status, so the context value is carried but never called back.
    (void)dwContext;
    m_hSession = ::InternetOpenA(pstrAgent, dwAccessType, pstrProxyName, pstrProxyBypass, dwFlags);
    if (!m_hSession)
        ThrowLastError();
    SetTimeouts(m_hSession);
}

CInternetSession::~CInternetSession()
{
    Close();
}

void CInternetSession::Close()
{
    CloseHandleOf(m_hSession);
}

CInternetFile* CInternetSession::OpenURL(LPCSTR pstrURL, DWORD_PTR dwContext, DWORD dwFlags, LPCSTR pstrHeaders,
                                         DWORD dwHeadersLength)
{
    if (!m_hSession)
        throw CInternetException(ERROR_INVALID_HANDLE);
    CUrlParts parts;
    if (!AfxParseURL(pstrURL, parts))
        throw CInternetException(ERROR_INTERNET_INVALID_URL);

    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        HINTERNET hFile = ::InternetOpenUrlA(m_hSession, pstrURL, pstrHeaders, dwHeadersLength, dwFlags, dwContext);
        if (!hFile)
            ThrowLastError();
        return new CInternetFile(nullptr, hFile);
    }

    HINTERNET hConnect = ::InternetConnectA(m_hSession, parts.strServer.c_str(), parts.nPort,
                                            parts.strUserName.empty() ? nullptr : parts.strUserName.c_str(),
                                            parts.strPassword.empty() ? nullptr : parts.strPassword.c_str(),
                                            INTERNET_SERVICE_HTTP, 0, dwContext);
    if (!hConnect)
        ThrowLastError();
    DWORD dwRequestFlags = dwFlags | INTERNET_FLAG_NO_UI;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS)
        dwRequestFlags |= INTERNET_FLAG_SECURE;
    static LPCSTR s_acceptTypes[] = {"*/*", nullptr};
    HINTERNET hRequest = ::HttpOpenRequestA(hConnect, "GET", parts.strObject.c_str(), nullptr, nullptr,
                                            s_acceptTypes, dwRequestFlags, dwContext);
    if (!hRequest) {
        const DWORD dwError = ::GetLastError();
        ::InternetCloseHandle(hConnect);
        throw CInternetException(dwError);
    }
    SetTimeouts(hRequest);
    // A length of -1 asks WinInet to measure headers that end in a zero.
    const DWORD dwLength = pstrHeaders ? (dwHeadersLength ? dwHeadersLength : static_cast<DWORD>(-1)) : 0;
    if (!::HttpSendRequestA(hRequest, pstrHeaders, dwLength, nullptr, 0)) {
        const DWORD dwError = ::GetLastError();
        ::InternetCloseHandle(hRequest);
        ::InternetCloseHandle(hConnect);
        throw CInternetException(dwError ? dwError : ERROR_INTERNET_INTERNAL_ERROR);
    }
    return new CInternetFile(hConnect, hRequest);
}
