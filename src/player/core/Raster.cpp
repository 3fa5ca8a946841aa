#include "player/core/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "player/core/Composite.h"
#include "player/core/PaintShader.h"

namespace player {

// Coordinates beyond this many pixels are pulled in before rasterising: far outside any canvas,
// and small enough that float arithmetic on them stays exact to a fraction of a pixel.
static constexpr float COORD_LIMIT = 1.0e6f;
static constexpr int MAX_CURVE_STEPS = 128;

void CCanvas::Clear(uint32_t nArgb) const {
    for (int y = 0; y < nHeight; ++y) std::fill(Row(y), Row(y) + nWidth, nArgb);
}

static float Sanitize(float v) {
    if (!(v == v)) return 0;
    return std::max(-COORD_LIMIT, std::min(COORD_LIMIT, v));
}

void CPath::MoveTo(float x, float y) {
    m_contours.push_back({uint32_t(m_points.size()), 1, false});
    m_points.push_back({Sanitize(x), Sanitize(y)});
}

void CPath::LineTo(float x, float y) {
    if (m_contours.empty()) MoveTo(x, y);
    m_points.push_back({Sanitize(x), Sanitize(y)});
    ++m_contours.back().nCount;
}

void CPath::QuadTo(float cx, float cy, float x, float y) {
    if (m_contours.empty()) MoveTo(cx, cy);
    CPointF p0 = m_points.back();
    cx = Sanitize(cx);
    cy = Sanitize(cy);
    x = Sanitize(x);
    y = Sanitize(y);
    // The deviation of a quadratic from its chord is a quarter of the control point's distance
    // from the chord's midpoint; n steps reduce it by n squared.
    float ddx = p0.x - 2 * cx + x, ddy = p0.y - 2 * cy + y;
    float dev = 0.25f * std::sqrt(ddx * ddx + ddy * ddy);
    int n = int(std::ceil(std::sqrt(dev / 0.1f)));
    n = std::max(1, std::min(MAX_CURVE_STEPS, n));
    for (int i = 1; i < n; ++i) {
        float t = float(i) / n, mt = 1 - t;
        LineTo(mt * mt * p0.x + 2 * mt * t * cx + t * t * x, mt * mt * p0.y + 2 * mt * t * cy + t * t * y);
    }
    LineTo(x, y);
}

void CPath::Close() {
    if (m_contours.empty()) return;
    CContour& c = m_contours.back();
    c.bClosed = true;
}

void CPath::AddRect(float x0, float y0, float x1, float y1) {
    MoveTo(x0, y0);
    LineTo(x1, y0);
    LineTo(x1, y1);
    LineTo(x0, y1);
    Close();
}

void CPath::AddCircle(float cx, float cy, float r) {
    // Enough corners to keep the polygon within a tenth of a pixel of the circle, pushed out so
    // that the polygon's area is the circle's: coverage then sums to the right amount.
    r = Sanitize(std::fabs(r));
    int n = std::max(8, std::min(256, int(std::ceil(3.1416f * std::sqrt(r / 0.2f)))));
    const double step = 6.283185307179586 / n;
    float k = float(std::sqrt(step / std::sin(step)));
    MoveTo(cx + r * k, cy);
    for (int i = 1; i < n; ++i) {
        double a = step * i;
        LineTo(cx + r * k * float(std::cos(a)), cy + r * k * float(std::sin(a)));
    }
    Close();
}

bool CRasterizer::Accumulate(const CPath& path, int w, int h) {
    const auto& pts = path.Points();
    if (pts.size() < 2 || w <= 0 || h <= 0) return false;
    float minX = pts[0].x, maxX = minX, minY = pts[0].y, maxY = minY;
    for (const CPointF& p : pts) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    // Everything left of the canvas still counts (it winds the pixels to its right); only the
    // right, top and bottom bounds clip the box.
    int x0 = std::max(0, int(std::floor(minX)));
    int x1 = std::min(w, int(std::ceil(maxX)));
    int y0 = std::max(0, int(std::floor(minY)));
    int y1 = std::min(h, int(std::ceil(maxY)));
    if (x0 >= x1 || y0 >= y1) return false;
    m_nX0 = x0;
    m_nY0 = y0;
    m_nW = x1 - x0;
    m_nH = y1 - y0;
    size_t nCells = size_t(m_nW + 2) * size_t(m_nH);
    if (m_acc.size() < nCells) m_acc.resize(nCells, 0.0f);
    m_rowMin.assign(size_t(m_nH), m_nW + 1);
    m_rowMax.assign(size_t(m_nH), -1);
    m_nBlockWords = size_t((m_nW + 1) >> 5) / 64 + 1;
    m_blocks.assign(m_nBlockWords * size_t(m_nH), 0);
    for (const CPath::CContour& c : path.Contours()) {
        for (uint32_t i = 1; i < c.nCount; ++i) {
            const CPointF& a = pts[c.nStart + i - 1];
            const CPointF& b = pts[c.nStart + i];
            AddLine(a.x - x0, a.y - y0, b.x - x0, b.y - y0);
        }
        if (c.bClosed && c.nCount > 1) {
            const CPointF& a = pts[c.nStart + c.nCount - 1];
            const CPointF& b = pts[c.nStart];
            AddLine(a.x - x0, a.y - y0, b.x - x0, b.y - y0);
        }
    }
    return true;
}

void CRasterizer::AddLine(float x0, float y0, float x1, float y1) {
    if (y0 == y1) return;
    const float W = float(m_nW);
    // Split where the line crosses the box's left and right sides; the pieces outside are
    // pressed onto those sides, where they keep their winding but cover nothing beyond.
    float ts[4] = {0, 1, 1, 1};
    int n = 1;
    if (x0 != x1) {
        for (float edge : {0.0f, W}) {
            float t = (edge - x0) / (x1 - x0);
            if (t > 0 && t < 1) ts[n++] = t;
        }
    }
    if (n == 3 && ts[1] > ts[2]) std::swap(ts[1], ts[2]);
    ts[n++] = 1;
    float px = x0, py = y0;
    for (int i = 1; i < n; ++i) {
        float t = ts[i];
        float qx = t >= 1 ? x1 : x0 + (x1 - x0) * t;
        float qy = t >= 1 ? y1 : y0 + (y1 - y0) * t;
        AddClampedLine(std::max(0.0f, std::min(W, px)), py, std::max(0.0f, std::min(W, qx)), qy);
        px = qx;
        py = qy;
    }
}

void CRasterizer::AddClampedLine(float x0, float y0, float x1, float y1) {
    if (y0 == y1) return;
    float dir = 1;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        dir = -1;
    }
    const float H = float(m_nH);
    if (y1 <= 0 || y0 >= H) return;
    const float dxdy = (x1 - x0) / (y1 - y0);
    // A line too flat for its slope to be a number spans less than any row can show.
    if (!(std::fabs(dxdy) < 1.0e12f)) return;
    float yTop = std::max(0.0f, y0);
    float yEnd = std::min(H, y1);
    const int stride = m_nW + 2;
    const float W = float(m_nW);
    // Rounding may carry x a hair outside the box the endpoints were pressed into.
    float x = std::max(0.0f, std::min(W, x0 + (yTop - y0) * dxdy));
    int rowEnd = std::min(m_nH, int(std::ceil(yEnd)));
    for (int row = int(yTop); row < rowEnd; ++row) {
        float dy = std::min(float(row + 1), yEnd) - std::max(float(row), yTop);
        float xNext = std::max(0.0f, std::min(W, x + dxdy * dy));
        float d = dy * dir;
        float xa = std::min(x, xNext), xb = std::max(x, xNext);
        float* acc = &m_acc[size_t(row) * size_t(stride)];
        float xaFloor = std::floor(xa);
        int ia = int(xaFloor);
        float xbCeil = std::ceil(xb);
        int ib = int(xbCeil);
        if (ib <= ia + 1) {
            // Within one pixel column: the part of that pixel right of the line's mean x.
            float xm = 0.5f * (x + xNext) - xaFloor;
            acc[ia] += d - d * xm;
            acc[ia + 1] += d * xm;
            ib = ia + 1;
        } else {
            // Across several columns: the covered area grows quadratically in the first and last
            // column and linearly in between.
            float s = 1.0f / (xb - xa);
            float fa = xa - xaFloor;
            float a0 = 0.5f * s * (1 - fa) * (1 - fa);
            float fb = xb - xbCeil + 1;
            float am = 0.5f * s * fb * fb;
            acc[ia] += d * a0;
            if (ib == ia + 2) {
                acc[ia + 1] += d * (1 - a0 - am);
            } else {
                float a1 = s * (1.5f - fa);
                acc[ia + 1] += d * (a1 - a0);
                for (int k = ia + 2; k < ib - 1; ++k) acc[k] += d * s;
                float a2 = a1 + float(ib - ia - 3) * s;
                acc[ib - 1] += d * (1 - a2 - am);
            }
            acc[ib] += d * am;
        }
        m_rowMin[size_t(row)] = std::min(m_rowMin[size_t(row)], ia);
        m_rowMax[size_t(row)] = std::max(m_rowMax[size_t(row)], ib);
        uint64_t* blocks = &m_blocks[size_t(row) * m_nBlockWords];
        for (int b = ia >> 5; b <= (ib >> 5); ++b) blocks[b >> 6] |= uint64_t(1) << (b & 63);
        x = xNext;
    }
}

bool CRasterizer::RowCoverage(int row, EFillRule rule, int& xBegin, int& xEnd) {
    int lo = m_rowMin[size_t(row)], hi = m_rowMax[size_t(row)];
    if (hi < 0) return false;
    float* acc = &m_acc[size_t(row) * size_t(m_nW + 2)];
    xBegin = lo;
    xEnd = std::min(m_nW, hi + 1);
    if (m_cov.size() < size_t(m_nW + 2)) m_cov.resize(size_t(m_nW + 2));
    uint8_t* cov = m_cov.data();
    const uint64_t* blocks = &m_blocks[size_t(row) * m_nBlockWords];
    const bool bNonZero = rule == EFillRule::NonZero;
    auto coverage = [bNonZero](float sum) {
        float a = std::fabs(sum);
        if (a > 1.0f) {
            if (bNonZero) {
                a = 1.0f;
            } else {
                a -= 2.0f * std::floor(a * 0.5f);
                if (a > 1.0f) a = 2.0f - a;
            }
        }
        return uint8_t(a * 255.0f + 0.5f);
    };
    float sum = 0;
    for (int x = lo; x < xEnd;) {
        int b = x >> 5;
        int blockEnd = std::min(xEnd, (b + 1) << 5);
        if (!((blocks[b >> 6] >> (b & 63)) & 1)) {
            std::memset(cov + x, coverage(sum), size_t(blockEnd - x));
            x = blockEnd;
            continue;
        }
        for (; x < blockEnd; ++x) {
            sum += acc[x];
            acc[x] = 0;
            cov[x] = coverage(sum);
        }
    }
    for (int x = xEnd; x <= hi + 1 && x < m_nW + 2; ++x) acc[x] = 0;
    return xBegin < xEnd;
}

void CRasterizer::Fill(const CCanvas& canvas, const CPath& path, EFillRule rule, const CPaint& paint,
                       const CCoverageMask* pClip) {
    CPaintShader shader;
    if (!shader.Prepare(paint)) return;
    if (!Accumulate(path, canvas.nWidth, canvas.nHeight)) return;
    if (m_colors.size() < size_t(m_nW)) m_colors.resize(size_t(m_nW));
    if (shader.IsSolid() && (shader.SolidColor() >> 24) == 0) {
        // Still drain the accumulator so that it is clean for the next path.
        int b, e;
        for (int row = 0; row < m_nH; ++row) RowCoverage(row, rule, b, e);
        return;
    }
    for (int row = 0; row < m_nH; ++row) {
        int xb, xe;
        if (!RowCoverage(row, rule, xb, xe)) continue;
        const int y = m_nY0 + row;
        uint8_t* cov = m_cov.data();
        if (pClip) {
            const uint8_t* clip = &pClip->cov[size_t(y) * size_t(pClip->nWidth) + size_t(m_nX0)];
            for (int x = xb; x < xe; ++x) cov[x] = uint8_t(MulDiv255(cov[x], clip[x]));
        }
        // Shaded from the first to the last covered pixel of the row.
        while (xb < xe && cov[xb] == 0) ++xb;
        while (xe > xb && cov[xe - 1] == 0) --xe;
        if (xb >= xe) continue;
        shader.ShadeRow(m_nX0 + xb, y, xe - xb, m_colors.data());
        CompositeRow(canvas.Row(y) + m_nX0 + xb, m_colors.data(), cov + xb, xe - xb);
    }
}

void CRasterizer::FillMask(CCoverageMask& mask, const CPath& path, EFillRule rule,
                           const CCoverageMask* pClip) {
    if (!Accumulate(path, mask.nWidth, mask.nHeight)) return;
    for (int row = 0; row < m_nH; ++row) {
        int xb, xe;
        if (!RowCoverage(row, rule, xb, xe)) continue;
        const size_t y = size_t(m_nY0 + row);
        uint8_t* dst = &mask.cov[y * size_t(mask.nWidth) + size_t(m_nX0)];
        const uint8_t* clip = pClip ? &pClip->cov[y * size_t(pClip->nWidth) + size_t(m_nX0)] : nullptr;
        for (int x = xb; x < xe; ++x) {
            uint32_t c = m_cov[size_t(x)];
            if (clip) c = MulDiv255(c, clip[x]);
            dst[x] = uint8_t(std::min<uint32_t>(255, dst[x] + c));
        }
    }
}

}  // namespace player
