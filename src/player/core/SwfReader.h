#pragma once
// The one cursor through which every byte of a movie is read. It cannot move past its buffer:
// a read beyond the end returns zero and marks the cursor failed, and the flag sticks, so a
// parser may read a whole record and check once at its end.
#include <cstddef>
#include <cstdint>
#include <string>

#include "player/core/Geometry.h"

namespace player {

class CSwfReader {
public:
    CSwfReader() = default;
    CSwfReader(const uint8_t* pData, size_t nSize) : m_pData(pData), m_nSize(nSize) {}

    bool Ok() const { return !m_bFailed; }
    void Fail() { m_bFailed = true; }
    size_t Position() const { return m_nPos; }
    size_t Size() const { return m_nSize; }
    size_t Remaining() const { return m_nSize - m_nPos; }
    bool AtEnd() const { return m_nPos >= m_nSize; }
    const uint8_t* Current() const { return m_pData + m_nPos; }

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    int16_t S16() { return int16_t(U16()); }
    float Fixed8() { return S16() / 256.0f; }    // 8.8
    float Fixed16() { return int32_t(U32()) / 65536.0f; }  // 16.16
    float Float32();
    double Double64();
    uint32_t EncodedU32();
    void Skip(size_t n);
    // Moves past n bytes and hands them out as a cursor of their own; a shorter rest fails.
    CSwfReader Sub(size_t n);
    // A NUL-terminated string; without its terminator the cursor fails.
    std::string String();

    // Bit fields, most significant bit first; byte reads realign first.
    uint32_t UB(unsigned nBits);
    int32_t SB(unsigned nBits);
    float FB(unsigned nBits) { return SB(nBits) / 65536.0f; }
    bool Flag() { return UB(1) != 0; }
    void Align() { m_nBitsLeft = 0; }

    CRect Rect();
    CMatrix Matrix();
    CColorTransform ColorTransform(bool bWithAlpha);
    CColor Rgb();
    CColor Rgba();

private:
    bool Need(size_t n);

    const uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
    size_t m_nPos = 0;
    uint8_t m_nBitByte = 0;
    unsigned m_nBitsLeft = 0;
    bool m_bFailed = false;
};

}  // namespace player
