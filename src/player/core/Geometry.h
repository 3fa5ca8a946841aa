#pragma once
// The plain value types of the movie format: twips rectangles, 2x3 matrices, colour
// transforms and colours, kept in floats once read.
#include <cstdint>

namespace player {

constexpr float TWIPS_PER_PIXEL = 20.0f;

struct CRect {
    int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;  // twips
    int32_t Width() const { return xMax - xMin; }
    int32_t Height() const { return yMax - yMin; }
};

struct CPointF {
    float x = 0, y = 0;
};

// x' = a*x + c*y + tx;  y' = b*x + d*y + ty  (the format's ScaleX, RotateSkew0, RotateSkew1, ScaleY)
struct CMatrix {
    float a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    CPointF Apply(float x, float y) const { return {a * x + c * y + tx, b * x + d * y + ty}; }
    // this after inner: the result maps a point through inner first.
    CMatrix Concat(const CMatrix& inner) const;
    bool Invert(CMatrix& out) const;
    float Determinant() const { return a * d - b * c; }
    static CMatrix Scale(float sx, float sy) { return {sx, 0, 0, sy, 0, 0}; }
    static CMatrix Translate(float x, float y) { return {1, 0, 0, 1, x, y}; }
    static CMatrix Lerp(const CMatrix& m0, const CMatrix& m1, float t);
};

struct CColor {
    uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const CColor& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    static CColor Lerp(const CColor& c0, const CColor& c1, float t);
};

// Multiply then add, per channel; multipliers as factors (1 = unchanged), additions in 0..255.
struct CColorTransform {
    float mr = 1, mg = 1, mb = 1, ma = 1;
    float ar = 0, ag = 0, ab = 0, aa = 0;

    CColor Apply(CColor c) const;
    // this after inner.
    CColorTransform Concat(const CColorTransform& inner) const;
    bool IsIdentity() const {
        return mr == 1 && mg == 1 && mb == 1 && ma == 1 && ar == 0 && ag == 0 && ab == 0 && aa == 0;
    }
};

}  // namespace player
