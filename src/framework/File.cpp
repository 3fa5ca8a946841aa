#include "framework/File.h"

CFile::~CFile()
{
    Close();
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags)
{
    Close();

    DWORD access = GENERIC_READ;
    switch (nOpenFlags & 0x0003) {
    case modeWrite: access = GENERIC_WRITE; break;
    case modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
    default: break;
    }

    // The share mode is what other openers may do meanwhile; the MFC convention of 0 in the
    // share bits ("compatibility") is taken as exclusive, as Win32 has no such mode.
    DWORD share = 0;
    switch (nOpenFlags & 0x0070) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: break;
    }

    HANDLE file = ::CreateFileA(lpszFileName, access, share, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    m_hFile = file;
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (!IsOpen() || nCount == 0)
        return 0;
    DWORD read = 0;
    if (!::ReadFile(m_hFile, lpBuf, nCount, &read, nullptr))
        return 0;
    return read;
}

LONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    if (!IsOpen())
        return -1;
    LARGE_INTEGER distance;
    distance.QuadPart = lOff;
    LARGE_INTEGER position;
    if (!::SetFilePointerEx(m_hFile, distance, &position, nFrom))
        return -1;
    return position.QuadPart;
}

void CFile::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE) {
        ::CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}
