// CFile: a file handle owned by an object, closed at the latest by its destructor.
#pragma once

#include <windows.h>

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    CFile() = default;
    ~CFile();

    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens an existing file; never creates one. False leaves the object closed.
    BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags);
    // Bytes actually read: fewer than asked at the end of the file, 0 on a read error.
    UINT Read(void* lpBuf, UINT nCount);
    // The new position from the file's start, or -1 when the move failed.
    LONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void Close();

    BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
};
