#include "player/core/Geometry.h"

#include <cmath>

namespace player {

CMatrix CMatrix::Concat(const CMatrix& m) const {
    CMatrix r;
    r.a = a * m.a + c * m.b;
    r.b = b * m.a + d * m.b;
    r.c = a * m.c + c * m.d;
    r.d = b * m.c + d * m.d;
    r.tx = a * m.tx + c * m.ty + tx;
    r.ty = b * m.tx + d * m.ty + ty;
    return r;
}

bool CMatrix::Invert(CMatrix& out) const {
    double det = double(a) * d - double(b) * c;
    if (!std::isfinite(det) || std::fabs(det) < 1e-12) return false;
    double inv = 1.0 / det;
    out.a = float(d * inv);
    out.b = float(-b * inv);
    out.c = float(-c * inv);
    out.d = float(a * inv);
    out.tx = float((double(c) * ty - double(d) * tx) * inv);
    out.ty = float((double(b) * tx - double(a) * ty) * inv);
    return std::isfinite(out.a) && std::isfinite(out.b) && std::isfinite(out.c) &&
           std::isfinite(out.d) && std::isfinite(out.tx) && std::isfinite(out.ty);
}

CMatrix CMatrix::Lerp(const CMatrix& m0, const CMatrix& m1, float t) {
    auto l = [t](float v0, float v1) { return v0 + (v1 - v0) * t; };
    return {l(m0.a, m1.a), l(m0.b, m1.b), l(m0.c, m1.c), l(m0.d, m1.d), l(m0.tx, m1.tx), l(m0.ty, m1.ty)};
}

CColor CColor::Lerp(const CColor& c0, const CColor& c1, float t) {
    auto l = [t](uint8_t v0, uint8_t v1) { return uint8_t(std::lround(v0 + (float(v1) - v0) * t)); };
    return {l(c0.r, c1.r), l(c0.g, c1.g), l(c0.b, c1.b), l(c0.a, c1.a)};
}

static uint8_t Channel(float v, float m, float add) {
    float r = v * m + add;
    if (!(r > 0)) return 0;
    if (r > 255) return 255;
    return uint8_t(r + 0.5f);
}

CColor CColorTransform::Apply(CColor c) const {
    return {Channel(c.r, mr, ar), Channel(c.g, mg, ag), Channel(c.b, mb, ab), Channel(c.a, ma, aa)};
}

CColorTransform CColorTransform::Concat(const CColorTransform& in) const {
    CColorTransform r;
    r.mr = mr * in.mr; r.mg = mg * in.mg; r.mb = mb * in.mb; r.ma = ma * in.ma;
    r.ar = ar + mr * in.ar; r.ag = ag + mg * in.ag; r.ab = ab + mb * in.ab; r.aa = aa + ma * in.aa;
    return r;
}

}  // namespace player
