#include "player/core/PaintShader.h"

#include <algorithm>
#include <cmath>

#include "player/core/Bitmap.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VF_SHADER_SSE2 1
#endif

namespace player {

static constexpr float GRADIENT_HALF = 16384.0f;

uint32_t Premultiply(CColor c) {
    auto m = [&](uint8_t v) { return uint32_t((v * c.a + 127) / 255); };
    return (uint32_t(c.a) << 24) | (m(c.r) << 16) | (m(c.g) << 8) | m(c.b);
}

CColor Unpremultiply(uint32_t p) {
    CColor c;
    c.a = uint8_t(p >> 24);
    if (c.a == 0) return {0, 0, 0, 0};
    auto u = [&](uint32_t v) { return uint8_t(std::min<uint32_t>(255, (v * 255 + c.a / 2) / c.a)); };
    c.r = u((p >> 16) & 255);
    c.g = u((p >> 8) & 255);
    c.b = u(p & 255);
    return c;
}

static float ToLinear(float v) {
    v /= 255.0f;
    return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f);
}

static float FromLinear(float v) {
    v = v <= 0.0031308f ? v * 12.92f : 1.055f * std::pow(v, 1 / 2.4f) - 0.055f;
    return v * 255.0f;
}

static uint8_t Clamp255(float v) { return uint8_t(std::min(255.0f, std::max(0.0f, v + 0.5f))); }

static void BuildGradientLut(const CGradient& g, const CColorTransform& cx, uint32_t* lut) {
    if (g.stops.empty()) {
        std::fill(lut, lut + 256, 0u);
        return;
    }
    CGradientStop stops[16];
    size_t n = std::min<size_t>(g.stops.size(), 16);
    for (size_t i = 0; i < n; ++i) {
        stops[i].nRatio = g.stops[i].nRatio;
        stops[i].color = cx.Apply(g.stops[i].color);
    }
    size_t k = 0;
    for (int i = 0; i < 256; ++i) {
        while (k < n && stops[k].nRatio < i) ++k;
        CColor c;
        if (k == 0) {
            c = stops[0].color;
        } else if (k >= n) {
            c = stops[n - 1].color;
        } else {
            const CGradientStop& s0 = stops[k - 1];
            const CGradientStop& s1 = stops[k];
            float t = s1.nRatio == s0.nRatio ? 1.0f : float(i - s0.nRatio) / float(s1.nRatio - s0.nRatio);
            if (g.bLinearRgb) {
                auto mix = [t](uint8_t a, uint8_t b) {
                    return Clamp255(FromLinear(ToLinear(a) + (ToLinear(b) - ToLinear(a)) * t));
                };
                c = {mix(s0.color.r, s1.color.r), mix(s0.color.g, s1.color.g), mix(s0.color.b, s1.color.b),
                     Clamp255(s0.color.a + (float(s1.color.a) - s0.color.a) * t)};
            } else {
                c = CColor::Lerp(s0.color, s1.color, t);
            }
        }
        lut[i] = Premultiply(c);
    }
}

bool CPaintShader::Prepare(const CPaint& paint) {
    m_pPaint = &paint;
    m_bSolid = false;
    switch (paint.eType) {
    case EFillType::Solid:
        m_bSolid = true;
        m_nSolid = Premultiply(paint.cxform.Apply(paint.color));
        return true;
    case EFillType::Linear:
    case EFillType::Radial:
    case EFillType::Focal:
        if (!paint.pGradient || paint.pGradient->stops.empty()) return false;
        BuildGradientLut(*paint.pGradient, paint.cxform, m_lut);
        if (!paint.matrix.Invert(m_inverse)) {
            // A gradient squeezed to nothing shows its last colour, as the format's players do.
            m_bSolid = true;
            m_nSolid = m_lut[255];
        }
        return true;
    case EFillType::Bitmap:
        if (!paint.pBitmap || paint.pBitmap->nWidth <= 0 || paint.pBitmap->nHeight <= 0) return false;
        return paint.matrix.Invert(m_inverse);
    }
    return false;
}

void CPaintShader::ShadeRow(int x, int y, int n, uint32_t* pOut) const {
    if (m_bSolid) {
        std::fill(pOut, pOut + n, m_nSolid);
    } else if (m_pPaint->eType == EFillType::Bitmap) {
        ShadeBitmap(x, y, n, pOut);
    } else {
        ShadeGradient(x, y, n, pOut);
    }
}

// The LUT index of a gradient position t (0..1 across the stops), after the spread.
static inline int LutIndex(float t, ESpread e) {
    if (e == ESpread::Repeat) {
        t -= std::floor(t);
    } else if (e == ESpread::Reflect) {
        t -= 2.0f * std::floor(t * 0.5f);
        if (t > 1.0f) t = 2.0f - t;
    }
    // NaN fails both comparisons and lands on 0.
    float i = t * 255.0f + 0.5f;
    return i >= 255.0f ? 255 : i > 0.0f ? int(i) : 0;
}

#ifdef VF_SHADER_SSE2
// floor(v) for |v| below 2^22; larger values are pulled in first, where the spread's period is
// long lost to float precision anyway.
static inline __m128 Floor4(__m128 v) {
    const __m128 f = _mm_cvtepi32_ps(_mm_cvttps_epi32(v));
    return _mm_sub_ps(f, _mm_and_ps(_mm_cmpgt_ps(f, v), _mm_set1_ps(1.0f)));
}
#endif

// Colours for gradient positions t[0..n): the spread, then the table.
static void LookUpRow(const float* t, int n, ESpread spread, const uint32_t* lut, uint32_t* out) {
    int i = 0;
#ifdef VF_SHADER_SSE2
    const __m128 lim = _mm_set1_ps(4194304.0f), one = _mm_set1_ps(1.0f);
    const __m128 signBit = _mm_set1_ps(-0.0f);
    alignas(16) int32_t idx[4];
    for (; i + 4 <= n; i += 4) {
        // max(v, lo) gives lo for NaN, which then lands on index 0 like the scalar path.
        __m128 v = _mm_loadu_ps(t + i);
        if (spread == ESpread::Repeat) {
            v = _mm_min_ps(_mm_max_ps(v, _mm_sub_ps(_mm_setzero_ps(), lim)), lim);
            v = _mm_sub_ps(v, Floor4(v));
        } else if (spread == ESpread::Reflect) {
            v = _mm_min_ps(_mm_max_ps(_mm_mul_ps(v, _mm_set1_ps(0.5f)), _mm_sub_ps(_mm_setzero_ps(), lim)), lim);
            const __m128 half = _mm_sub_ps(v, Floor4(v));
            v = _mm_add_ps(half, half);                                          // 0..2
            v = _mm_sub_ps(one, _mm_andnot_ps(signBit, _mm_sub_ps(one, v)));    // folded at 1
        }
        v = _mm_add_ps(_mm_mul_ps(v, _mm_set1_ps(255.0f)), _mm_set1_ps(0.5f));
        v = _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(255.0f));
        _mm_store_si128(reinterpret_cast<__m128i*>(idx), _mm_cvttps_epi32(v));
        out[i] = lut[idx[0]];
        out[i + 1] = lut[idx[1]];
        out[i + 2] = lut[idx[2]];
        out[i + 3] = lut[idx[3]];
    }
#endif
    for (; i < n; ++i) out[i] = lut[LutIndex(t[i], spread)];
}

void CPaintShader::ShadeGradient(int x, int y, int n, uint32_t* pOut) const {
    const CGradient& g = *m_pPaint->pGradient;
    float px = x + 0.5f, py = y + 0.5f;
    float gx = m_inverse.a * px + m_inverse.c * py + m_inverse.tx;
    float gy = m_inverse.b * px + m_inverse.d * py + m_inverse.ty;
    const float dx = m_inverse.a, dy = m_inverse.b;
    const ESpread spread = g.eSpread;
    const float fx = std::max(-0.98f, std::min(0.98f, g.fFocal)) * GRADIENT_HALF;
    const EFillType type = m_pPaint->eType == EFillType::Focal && fx == 0 ? EFillType::Radial : m_pPaint->eType;
    const float k = 1.0f / (2 * GRADIENT_HALF), kr = 1.0f / GRADIENT_HALF;
    // Positions first, then the spread and the table.
    if (m_positions.size() < size_t(n)) m_positions.resize(size_t(n));
    float* t = m_positions.data();
    switch (type) {
    case EFillType::Linear:
    case EFillType::Radial:
        // Loops without branches, which the compiler vectorises.
        if (type == EFillType::Linear) {
            const float t0 = (gx + GRADIENT_HALF) * k, dt = dx * k;
            for (int i = 0; i < n; ++i) t[i] = t0 + dt * float(i);
        } else {
            for (int i = 0; i < n; ++i) {
                float x = gx + dx * float(i), y = gy + dy * float(i);
                t[i] = std::sqrt(x * x + y * y) * kr;
            }
        }
        break;
    default:
        // Distance from the focal point relative to the distance, along the same ray, from the
        // focal point to the gradient's circle.
        for (int i = 0; i < n; ++i, gx += dx, gy += dy) {
            float vx = gx - fx, vy = gy;
            float len = std::sqrt(vx * vx + vy * vy);
            t[i] = 0;
            if (len >= 1e-3f) {
                float b = fx * (vx / len);
                float s = -b + std::sqrt(std::max(0.0f, b * b - fx * fx + GRADIENT_HALF * GRADIENT_HALF));
                t[i] = s > 0 ? len / s : 1.0f;
            }
        }
        break;
    }
    LookUpRow(t, n, spread, m_lut, pOut);
}

static inline uint32_t Lerp2(uint32_t p0, uint32_t p1, uint32_t w1) {
    // w1 in 0..256; channels interpolated two at a time.
    uint32_t w0 = 256 - w1;
    uint32_t rb = (((p0 & 0x00ff00ffu) * w0 + (p1 & 0x00ff00ffu) * w1) >> 8) & 0x00ff00ffu;
    uint32_t ag = ((((p0 >> 8) & 0x00ff00ffu) * w0 + ((p1 >> 8) & 0x00ff00ffu) * w1)) & 0xff00ff00u;
    return rb | ag;
}

static inline int Wrap(int v, int n) {
    int m = v % n;
    return m < 0 ? m + n : m;
}

static inline int Clampi(int v, int n) { return v < 0 ? 0 : v >= n ? n - 1 : v; }

static uint32_t TransformPixel(uint32_t p, const CColorTransform& cx) {
    return Premultiply(cx.Apply(Unpremultiply(p)));
}

void CPaintShader::ShadeBitmap(int x, int y, int n, uint32_t* pOut) const {
    const CBitmap& bm = *m_pPaint->pBitmap;
    const int w = bm.nWidth, h = bm.nHeight;
    const bool bRepeat = m_pPaint->bRepeat;
    float px = x + 0.5f, py = y + 0.5f;
    float u = m_inverse.a * px + m_inverse.c * py + m_inverse.tx;
    float v = m_inverse.b * px + m_inverse.d * py + m_inverse.ty;
    const float du = m_inverse.a, dv = m_inverse.b;
    const uint32_t* src = bm.pixels.data();
    // Coordinates far outside any bitmap are folded before the conversion to int.
    const float lim = 1e8f;
    for (int i = 0; i < n; ++i, u += du, v += dv) {
        float uu = std::max(-lim, std::min(lim, u)), vv = std::max(-lim, std::min(lim, v));
        if (!(uu == uu) || !(vv == vv)) uu = vv = 0;
        if (m_pPaint->bSmooth) {
            float fu = uu - 0.5f, fv = vv - 0.5f;
            float flu = std::floor(fu), flv = std::floor(fv);
            int iu = int(flu), iv = int(flv);
            uint32_t wu = uint32_t((fu - flu) * 256.0f), wv = uint32_t((fv - flv) * 256.0f);
            int u0, u1, v0, v1;
            if (bRepeat) {
                u0 = Wrap(iu, w); u1 = Wrap(iu + 1, w); v0 = Wrap(iv, h); v1 = Wrap(iv + 1, h);
            } else {
                u0 = Clampi(iu, w); u1 = Clampi(iu + 1, w); v0 = Clampi(iv, h); v1 = Clampi(iv + 1, h);
            }
            uint32_t top = Lerp2(src[size_t(v0) * w + u0], src[size_t(v0) * w + u1], wu);
            uint32_t bot = Lerp2(src[size_t(v1) * w + u0], src[size_t(v1) * w + u1], wu);
            pOut[i] = Lerp2(top, bot, wv);
        } else {
            int iu = int(std::floor(uu)), iv = int(std::floor(vv));
            iu = bRepeat ? Wrap(iu, w) : Clampi(iu, w);
            iv = bRepeat ? Wrap(iv, h) : Clampi(iv, h);
            pOut[i] = src[size_t(iv) * w + iu];
        }
    }
    if (!m_pPaint->cxform.IsIdentity())
        for (int i = 0; i < n; ++i) pOut[i] = TransformPixel(pOut[i], m_pPaint->cxform);
}

}  // namespace player
