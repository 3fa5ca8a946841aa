// GDI wrappers: device contexts that release themselves, and a font handle that is deleted
// with its owner.
#pragma once

#include <windows.h>

class CWnd;

// A device context that does not own its HDC; the wrappers below say how it is obtained.
class CDC {
public:
    HDC m_hDC = nullptr;
    operator HDC() const { return m_hDC; }

    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    HGDIOBJ SelectObject(HGDIOBJ obj) { return ::SelectObject(m_hDC, obj); }
    // The rectangle painted in the background colour: the cheapest solid fill GDI has.
    void FillSolidRect(const RECT& rc, COLORREF c)
    {
        ::SetBkColor(m_hDC, c);
        ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    }
    int DrawText(const char* text, int len, LPRECT rc, UINT format)
    {
        return ::DrawTextA(m_hDC, text, len, rc, format);
    }
    SIZE GetTextExtent(const char* text, int len) const
    {
        SIZE sz{0, 0};
        ::GetTextExtentPoint32A(m_hDC, text, len, &sz);
        return sz;
    }

protected:
    CDC() = default;
    ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
};

// BeginPaint/EndPaint for the time of a WM_PAINT handler.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// GetDC/ReleaseDC: drawing into a window's client area outside the paint cycle.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetDC(hWnd); }
    ~CClientDC()
    {
        if (m_hDC)
            ::ReleaseDC(m_hWnd, m_hDC);
    }

private:
    HWND m_hWnd;
};

// Owns one font handle.
class CFont {
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    HFONT m_hObject = nullptr;
    operator HFONT() const { return m_hObject; }

    BOOL CreateFontIndirect(const LOGFONTA& lf)
    {
        DeleteObject();
        m_hObject = ::CreateFontIndirectA(&lf);
        return m_hObject != nullptr;
    }
    void DeleteObject()
    {
        if (m_hObject)
            ::DeleteObject(m_hObject);
        m_hObject = nullptr;
    }
};
