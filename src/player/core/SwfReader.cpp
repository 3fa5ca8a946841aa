#include "player/core/SwfReader.h"

#include <cstring>

namespace player {

bool CSwfReader::Need(size_t n) {
    m_nBitsLeft = 0;
    if (m_bFailed || n > m_nSize - m_nPos) {
        m_bFailed = true;
        m_nPos = m_nSize;
        return false;
    }
    return true;
}

uint8_t CSwfReader::U8() {
    if (!Need(1)) return 0;
    return m_pData[m_nPos++];
}

uint16_t CSwfReader::U16() {
    if (!Need(2)) return 0;
    uint16_t v = uint16_t(m_pData[m_nPos] | (m_pData[m_nPos + 1] << 8));
    m_nPos += 2;
    return v;
}

uint32_t CSwfReader::U32() {
    if (!Need(4)) return 0;
    const uint8_t* p = m_pData + m_nPos;
    m_nPos += 4;
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

float CSwfReader::Float32() {
    uint32_t bits = U32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

double CSwfReader::Double64() {
    // The action format stores doubles as two little-endian words, high word first.
    uint64_t hi = U32();
    uint64_t lo = U32();
    uint64_t bits = (hi << 32) | lo;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

uint32_t CSwfReader::EncodedU32() {
    uint32_t v = 0;
    for (int i = 0; i < 5; ++i) {
        uint8_t b = U8();
        v |= uint32_t(b & 0x7f) << (7 * i);
        if (!(b & 0x80)) break;
    }
    return v;
}

void CSwfReader::Skip(size_t n) {
    if (Need(n)) m_nPos += n;
}

CSwfReader CSwfReader::Sub(size_t n) {
    if (!Need(n)) return CSwfReader();
    CSwfReader sub(m_pData + m_nPos, n);
    m_nPos += n;
    return sub;
}

std::string CSwfReader::String() {
    m_nBitsLeft = 0;
    if (m_bFailed) return std::string();
    const void* pEnd = std::memchr(m_pData + m_nPos, 0, m_nSize - m_nPos);
    if (!pEnd) {
        m_bFailed = true;
        m_nPos = m_nSize;
        return std::string();
    }
    size_t n = size_t(static_cast<const uint8_t*>(pEnd) - (m_pData + m_nPos));
    std::string s(reinterpret_cast<const char*>(m_pData + m_nPos), n);
    m_nPos += n + 1;
    return s;
}

uint32_t CSwfReader::UB(unsigned nBits) {
    uint32_t v = 0;
    for (unsigned i = 0; i < nBits && i < 32; ++i) {
        if (m_nBitsLeft == 0) {
            if (m_bFailed || m_nPos >= m_nSize) {
                m_bFailed = true;
                return 0;
            }
            m_nBitByte = m_pData[m_nPos++];
            m_nBitsLeft = 8;
        }
        --m_nBitsLeft;
        v = (v << 1) | ((m_nBitByte >> m_nBitsLeft) & 1u);
    }
    return v;
}

int32_t CSwfReader::SB(unsigned nBits) {
    if (nBits == 0) return 0;
    if (nBits > 32) nBits = 32;
    uint32_t v = UB(nBits);
    if (nBits < 32 && (v & (1u << (nBits - 1)))) v |= ~0u << nBits;
    return int32_t(v);
}

CRect CSwfReader::Rect() {
    Align();
    unsigned n = UB(5);
    CRect r;
    r.xMin = SB(n);
    r.xMax = SB(n);
    r.yMin = SB(n);
    r.yMax = SB(n);
    Align();
    return r;
}

CMatrix CSwfReader::Matrix() {
    Align();
    CMatrix m;
    if (Flag()) {
        unsigned n = UB(5);
        m.a = FB(n);
        m.d = FB(n);
    }
    if (Flag()) {
        unsigned n = UB(5);
        m.b = FB(n);
        m.c = FB(n);
    }
    unsigned n = UB(5);
    m.tx = float(SB(n));
    m.ty = float(SB(n));
    Align();
    return m;
}

CColorTransform CSwfReader::ColorTransform(bool bWithAlpha) {
    Align();
    CColorTransform cx;
    bool bAdd = Flag();
    bool bMul = Flag();
    unsigned n = UB(4);
    if (bMul) {
        cx.mr = SB(n) / 256.0f;
        cx.mg = SB(n) / 256.0f;
        cx.mb = SB(n) / 256.0f;
        if (bWithAlpha) cx.ma = SB(n) / 256.0f;
    }
    if (bAdd) {
        cx.ar = float(SB(n));
        cx.ag = float(SB(n));
        cx.ab = float(SB(n));
        if (bWithAlpha) cx.aa = float(SB(n));
    }
    Align();
    return cx;
}

CColor CSwfReader::Rgb() {
    CColor c;
    c.r = U8();
    c.g = U8();
    c.b = U8();
    c.a = 255;
    return c;
}

CColor CSwfReader::Rgba() {
    CColor c = Rgb();
    c.a = U8();
    return c;
}

}  // namespace player
