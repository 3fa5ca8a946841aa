#include <algorithm>
#include <cmath>

#include "player/core/Raster.h"

namespace player {

// Stroke outlines are built from pieces (a quadrilateral per segment, a piece per join and cap)
// that overlap; they are all given one orientation so that a non-zero fill unites them.
static void AddPolygon(CPath& out, const CPointF* p, int n) {
    float area = 0;
    for (int i = 0; i < n; ++i) {
        const CPointF& a = p[i];
        const CPointF& b = p[(i + 1) % n];
        area += a.x * b.y - b.x * a.y;
    }
    if (area == 0) return;
    if (area > 0) {
        out.MoveTo(p[0].x, p[0].y);
        for (int i = 1; i < n; ++i) out.LineTo(p[i].x, p[i].y);
    } else {
        out.MoveTo(p[n - 1].x, p[n - 1].y);
        for (int i = n - 2; i >= 0; --i) out.LineTo(p[i].x, p[i].y);
    }
    out.Close();
}

static void AddDisc(CPath& out, CPointF c, float r) {
    CPath disc;
    disc.AddCircle(c.x, c.y, r);
    const auto& pts = disc.Points();
    AddPolygon(out, pts.data(), int(pts.size()));
}

static void AddCap(CPath& out, CPointF p, CPointF dirOut, float hw, ECap cap) {
    if (cap == ECap::Round) {
        AddDisc(out, p, hw);
    } else if (cap == ECap::Square) {
        CPointF n{-dirOut.y * hw, dirOut.x * hw};
        CPointF e{dirOut.x * hw, dirOut.y * hw};
        CPointF q[4] = {{p.x + n.x, p.y + n.y}, {p.x + n.x + e.x, p.y + n.y + e.y},
                        {p.x - n.x + e.x, p.y - n.y + e.y}, {p.x - n.x, p.y - n.y}};
        AddPolygon(out, q, 4);
    }
}

static void AddJoin(CPath& out, CPointF p, CPointF u0, CPointF u1, float hw, const CStrokeStyle& s) {
    float cross = u0.x * u1.y - u0.y * u1.x;
    float dot = u0.x * u1.x + u0.y * u1.y;
    if (std::fabs(cross) < 1e-6f && dot > 0) return;
    CPointF n0{-u0.y * hw, u0.x * hw}, n1{-u1.y * hw, u1.x * hw};
    // The join fills the wedge on the outer side of the turn; the inner side is inside the
    // segments' own quadrilaterals already.
    float side = cross > 0 ? -1.0f : 1.0f;
    CPointF a{p.x + side * n0.x, p.y + side * n0.y}, b{p.x + side * n1.x, p.y + side * n1.y};
    // Nearly straight joins (flattened curves) get the cheap wedge whatever the style.
    if (s.eJoin == EJoin::Round && dot < 0.985f) {
        AddDisc(out, p, hw);
        return;
    }
    if (s.eJoin == EJoin::Miter && dot > -0.9999f) {
        float ratio = std::sqrt(2.0f / (1.0f + dot));
        if (ratio <= s.fMiterLimit) {
            float k = hw / (1.0f + dot) * side;
            CPointF tip{p.x + (-u0.y - u1.y) * k, p.y + (u0.x + u1.x) * k};
            CPointF q[4] = {p, a, tip, b};
            AddPolygon(out, q, 4);
            return;
        }
    }
    CPointF t[3] = {p, a, b};
    AddPolygon(out, t, 3);
}

static void StrokeContour(const CPointF* src, uint32_t nSrc, bool bClosed, const CStrokeStyle& s, CPath& out) {
    std::vector<CPointF> pts;
    pts.reserve(nSrc);
    for (uint32_t i = 0; i < nSrc; ++i) {
        if (!pts.empty() && std::fabs(pts.back().x - src[i].x) < 1e-4f && std::fabs(pts.back().y - src[i].y) < 1e-4f)
            continue;
        pts.push_back(src[i]);
    }
    if (bClosed && pts.size() > 2 && std::fabs(pts.back().x - pts[0].x) < 1e-4f &&
        std::fabs(pts.back().y - pts[0].y) < 1e-4f)
        pts.pop_back();
    const float hw = s.fWidth * 0.5f;
    if (pts.empty() || !(hw > 0)) return;
    if (pts.size() == 1) {
        // A dot: only caps with extent show it.
        AddCap(out, pts[0], {1, 0}, hw, s.eStartCap);
        if (s.eStartCap == ECap::Square) AddCap(out, pts[0], {-1, 0}, hw, s.eStartCap);
        return;
    }
    if (pts.size() == 2) bClosed = false;
    size_t nSeg = bClosed ? pts.size() : pts.size() - 1;
    std::vector<CPointF> dirs(nSeg);
    for (size_t i = 0; i < nSeg; ++i) {
        const CPointF& a = pts[i];
        const CPointF& b = pts[(i + 1) % pts.size()];
        float dx = b.x - a.x, dy = b.y - a.y;
        float len = std::sqrt(dx * dx + dy * dy);
        dirs[i] = {dx / len, dy / len};
        CPointF n{-dirs[i].y * hw, dirs[i].x * hw};
        CPointF q[4] = {{a.x + n.x, a.y + n.y}, {b.x + n.x, b.y + n.y}, {b.x - n.x, b.y - n.y}, {a.x - n.x, a.y - n.y}};
        AddPolygon(out, q, 4);
    }
    for (size_t i = 1; i < nSeg; ++i) AddJoin(out, pts[i], dirs[i - 1], dirs[i], hw, s);
    if (bClosed) {
        AddJoin(out, pts[0], dirs[nSeg - 1], dirs[0], hw, s);
    } else {
        AddCap(out, pts[0], {-dirs[0].x, -dirs[0].y}, hw, s.eStartCap);
        AddCap(out, pts.back(), dirs[nSeg - 1], hw, s.eEndCap);
    }
}

void StrokePath(const CPath& in, const CStrokeStyle& style, CPath& out) {
    const auto& pts = in.Points();
    for (const CPath::CContour& c : in.Contours())
        StrokeContour(pts.data() + c.nStart, c.nCount, c.bClosed, style, out);
}

}  // namespace player
