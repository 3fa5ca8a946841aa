#include "player/core/Composite.h"

#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VF_COMPOSITE_SSE2 1
#endif

namespace player {

static inline uint32_t Channel(uint32_t p, int shift) { return (p >> shift) & 255; }

static inline uint32_t CompositePixel(uint32_t src, uint32_t dst, uint32_t cov) {
    uint32_t s[4], out = 0;
    for (int k = 0; k < 4; ++k) s[k] = MulDiv255(Channel(src, 8 * k), cov);
    const uint32_t inv = 255 - s[3];
    for (int k = 0; k < 4; ++k) {
        uint32_t c = s[k] + MulDiv255(Channel(dst, 8 * k), inv);
        out |= (c > 255 ? 255 : c) << (8 * k);
    }
    return out;
}

#ifdef VF_COMPOSITE_SSE2
// MulDiv255 on eight 16-bit lanes: the intermediate stays within 16 bits for 8-bit inputs.
static inline __m128i MulDiv255x8(__m128i v, __m128i a) {
    __m128i t = _mm_add_epi16(_mm_mullo_epi16(v, a), _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// Two pixels in 16-bit lanes (B, G, R, A each) with their coverage spread over the lanes.
static inline __m128i CompositeTwo(__m128i src, __m128i dst, __m128i cov) {
    const __m128i s = MulDiv255x8(src, cov);
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    const __m128i inv = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
    return _mm_add_epi16(s, MulDiv255x8(dst, inv));
}
#endif

void CompositeRow(uint32_t* dst, const uint32_t* src, const uint8_t* cov, int n) {
    int i = 0;
#ifdef VF_COMPOSITE_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i ones = _mm_set1_epi8(-1);
    for (; i + 4 <= n; i += 4) {
        uint32_t c4;
        std::memcpy(&c4, cov + i, 4);
        if (c4 == 0) continue;
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i* pd = reinterpret_cast<__m128i*>(dst + i);
        // Full coverage of four opaque pixels replaces them.
        const __m128i opaque = _mm_cmpeq_epi8(_mm_or_si128(s, _mm_set1_epi32(0x00FFFFFF)), ones);
        if (c4 == 0xFFFFFFFFu && _mm_movemask_epi8(opaque) == 0xFFFF) {
            _mm_storeu_si128(pd, s);
            continue;
        }
        __m128i c = _mm_cvtsi32_si128(int(c4));
        c = _mm_unpacklo_epi8(c, c);
        c = _mm_unpacklo_epi16(c, c);  // each coverage byte four times
        const __m128i d = _mm_loadu_si128(pd);
        const __m128i lo = CompositeTwo(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(c, zero));
        const __m128i hi = CompositeTwo(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(c, zero));
        _mm_storeu_si128(pd, _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < n; ++i) {
        const uint32_t a = cov[i];
        if (a == 0) continue;
        dst[i] = a == 255 && (src[i] >> 24) == 255 ? src[i] : CompositePixel(src[i], dst[i], a);
    }
}

}  // namespace player
