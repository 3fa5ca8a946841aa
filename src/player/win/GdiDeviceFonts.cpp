#include "player/win/GdiDeviceFonts.h"

#include <windows.h>

#include <cstddef>
#include <string>

namespace player {

namespace {

// The size outlines are asked for; they are scaled to the font's em afterwards.
constexpr int EM_PIXELS = 1024;

// The movie's generic names, as Flash Player maps them on Windows; other names are family
// names, in UTF-8 from SWF 6 on and in the system's code page before.
std::wstring FaceName(const std::string& strName)
{
    if (strName == "_sans")
        return L"Arial";
    if (strName == "_serif")
        return L"Times New Roman";
    if (strName == "_typewriter")
        return L"Courier New";
    for (UINT cp : {UINT(CP_UTF8), UINT(CP_ACP)}) {
        const DWORD flags = cp == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        const int n = ::MultiByteToWideChar(cp, flags, strName.data(), int(strName.size()), nullptr, 0);
        if (n > 0) {
            std::wstring face(size_t(n), L'\0');
            ::MultiByteToWideChar(cp, flags, strName.data(), int(strName.size()), &face[0], n);
            return face;
        }
    }
    return L"Arial";
}

struct CPointF2 {
    float x, y;
};

// One glyph's GGO_NATIVE outline as edges, y growing downwards, scaled by k. A record that
// claims more than the buffer holds ends the outline there.
void ReadOutline(const BYTE* p, DWORD nSize, float k, std::vector<CSegment>& out)
{
    auto point = [k](const POINTFX& q) {
        return CPointF2{(float(q.x.value) + float(q.x.fract) / 65536.0f) * k,
                        -(float(q.y.value) + float(q.y.fract) / 65536.0f) * k};
    };
    auto line = [&out](CPointF2 a, CPointF2 b) { out.push_back({a.x, a.y, 0, 0, b.x, b.y, false}); };
    const BYTE* const pEnd = p + nSize;
    while (DWORD(pEnd - p) >= sizeof(TTPOLYGONHEADER)) {
        const auto* pHeader = reinterpret_cast<const TTPOLYGONHEADER*>(p);
        if (pHeader->cb < sizeof(TTPOLYGONHEADER) || pHeader->cb > DWORD(pEnd - p))
            return;
        const BYTE* const pContourEnd = p + pHeader->cb;
        const CPointF2 start = point(pHeader->pfxStart);
        CPointF2 cur = start;
        const BYTE* c = p + sizeof(TTPOLYGONHEADER);
        while (size_t(pContourEnd - c) >= offsetof(TTPOLYCURVE, apfx)) {
            const auto* pCurve = reinterpret_cast<const TTPOLYCURVE*>(c);
            const size_t nBytes = offsetof(TTPOLYCURVE, apfx) + size_t(pCurve->cpfx) * sizeof(POINTFX);
            if (nBytes > size_t(pContourEnd - c))
                return;
            const auto* pts = reinterpret_cast<const POINTFX*>(c + offsetof(TTPOLYCURVE, apfx));
            const WORD n = pCurve->cpfx;
            for (WORD i = 0; i < n; ++i) {
                const CPointF2 q = point(pts[i]);
                if (pCurve->wType == TT_PRIM_QSPLINE && i + 1 < n) {
                    // Between two control points the curve passes through their midpoint; the
                    // spline's last point is on the curve.
                    const CPointF2 next = point(pts[i + 1]);
                    const bool bLast = i + 2 == n;
                    const CPointF2 to = bLast ? next : CPointF2{(q.x + next.x) / 2, (q.y + next.y) / 2};
                    out.push_back({cur.x, cur.y, q.x, q.y, to.x, to.y, true});
                    cur = to;
                    if (bLast)
                        ++i;
                } else {
                    line(cur, q);
                    cur = q;
                }
            }
            c += nBytes;
        }
        if (cur.x != start.x || cur.y != start.y)
            line(cur, start);
        p = pContourEnd;
    }
}

}  // namespace

bool CGdiDeviceFonts::Outline(const std::string& strName, bool bBold, bool bItalic, const std::vector<uint16_t>& codes,
                              CFont& font)
{
    LOGFONTW lf{};
    lf.lfHeight = -EM_PIXELS;
    lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = bItalic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    ::lstrcpynW(lf.lfFaceName, FaceName(strName).c_str(), LF_FACESIZE);
    HFONT hFont = ::CreateFontIndirectW(&lf);
    if (!hFont)
        return false;
    HDC hdc = ::CreateCompatibleDC(nullptr);
    if (!hdc) {
        ::DeleteObject(hFont);
        return false;
    }
    HGDIOBJ hOld = ::SelectObject(hdc, hFont);
    TEXTMETRICW tm{};
    const bool bOk = ::GetTextMetricsW(hdc, &tm) != FALSE;
    if (bOk) {
        const float k = font.fEmSquare / EM_PIXELS;
        font.fAscent = float(tm.tmAscent) * k;
        font.fDescent = float(tm.tmDescent) * k;
        font.glyphs.assign(codes.size(), CShape());
        font.advances.assign(codes.size(), 0.0f);
        const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        const UINT format = GGO_NATIVE | GGO_UNHINTED;
        std::vector<BYTE> buffer;
        for (size_t i = 0; i < codes.size(); ++i) {
            GLYPHMETRICS gm{};
            const DWORD nSize = ::GetGlyphOutlineW(hdc, codes[i], format, &gm, 0, nullptr, &identity);
            if (nSize == GDI_ERROR)
                continue;
            font.advances[i] = float(gm.gmCellIncX) * k;
            if (nSize == 0)  // a blank, such as the space
                continue;
            buffer.resize(nSize);
            if (::GetGlyphOutlineW(hdc, codes[i], format, &gm, nSize, buffer.data(), &identity) == GDI_ERROR)
                continue;
            CShapeLayer layer;
            layer.fillEdges.emplace_back();
            ReadOutline(buffer.data(), nSize, k, layer.fillEdges.back());
            font.glyphs[i].layers.push_back(std::move(layer));
        }
    }
    ::SelectObject(hdc, hOld);
    ::DeleteDC(hdc);
    ::DeleteObject(hFont);
    return bOk;
}

}  // namespace player
