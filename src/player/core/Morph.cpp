#include <algorithm>

#include "player/core/Limits.h"
#include "player/core/Movie.h"
#include "player/core/SwfReader.h"

namespace player {

static bool ParseMorphGradient(CSwfReader& r, CGradient& g0, CGradient& g1) {
    uint8_t b = r.U8();
    uint8_t nSpread = (b >> 6) & 3;
    g0.eSpread = g1.eSpread = nSpread == 1 ? ESpread::Reflect : nSpread == 2 ? ESpread::Repeat : ESpread::Pad;
    g0.bLinearRgb = g1.bLinearRgb = ((b >> 4) & 3) == 1;
    unsigned n = b & 15;
    g0.stops.resize(n);
    g1.stops.resize(n);
    for (unsigned i = 0; i < n; ++i) {
        g0.stops[i].nRatio = r.U8();
        g0.stops[i].color = r.Rgba();
        g1.stops[i].nRatio = r.U8();
        g1.stops[i].color = r.Rgba();
    }
    return r.Ok();
}

static bool ParseMorphFill(CSwfReader& r, CFillStyle& f0, CFillStyle& f1) {
    uint8_t nType = r.U8();
    switch (nType) {
    case 0x00:
        f0.eType = f1.eType = EFillType::Solid;
        f0.color = r.Rgba();
        f1.color = r.Rgba();
        break;
    case 0x10:
    case 0x12:
    case 0x13:
        f0.eType = f1.eType = nType == 0x10 ? EFillType::Linear : nType == 0x12 ? EFillType::Radial : EFillType::Focal;
        f0.matrix = r.Matrix();
        f1.matrix = r.Matrix();
        ParseMorphGradient(r, f0.gradient, f1.gradient);
        if (nType == 0x13) {
            f0.gradient.fFocal = r.Fixed8();
            f1.gradient.fFocal = r.Fixed8();
        }
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        f0.eType = f1.eType = EFillType::Bitmap;
        f0.nBitmapId = f1.nBitmapId = r.U16();
        f0.matrix = r.Matrix();
        f1.matrix = r.Matrix();
        f0.bRepeat = f1.bRepeat = nType == 0x40 || nType == 0x42;
        f0.bSmooth = f1.bSmooth = nType == 0x40 || nType == 0x41;
        break;
    default:
        r.Fail();
    }
    return r.Ok();
}

static size_t MorphStyleCount(CSwfReader& r) {
    size_t n = r.U8();
    if (n == 0xff) n = r.U16();
    return n;
}

bool ParseMorphShape(CSwfReader& r, int nVersion, size_t* pEdgeBudget, CMorphShape& m) {
    m.rcStart = r.Rect();
    m.rcEnd = r.Rect();
    if (nVersion >= 2) {
        r.Rect();
        r.Rect();
        r.U8();
    }
    uint32_t nOffset = r.U32();
    const uint8_t* pAfterOffset = r.Current();
    const size_t nAfterOffset = r.Remaining();
    size_t nFills = MorphStyleCount(r);
    if (nFills > MAX_STYLES_PER_SHAPE) return false;
    m.startFills.resize(nFills);
    m.endFills.resize(nFills);
    for (size_t i = 0; i < nFills; ++i)
        if (!ParseMorphFill(r, m.startFills[i], m.endFills[i])) return false;
    size_t nLines = MorphStyleCount(r);
    if (nLines > MAX_STYLES_PER_SHAPE) return false;
    m.startLines.resize(nLines);
    m.endLines.resize(nLines);
    for (size_t i = 0; i < nLines; ++i) {
        CLineStyle& l0 = m.startLines[i];
        CLineStyle& l1 = m.endLines[i];
        l0.fWidth = r.U16();
        l1.fWidth = r.U16();
        if (nVersion >= 2) {
            l0.eStartCap = ECap(std::min<uint32_t>(r.UB(2), 2));
            l0.eJoin = EJoin(std::min<uint32_t>(r.UB(2), 2));
            l0.bHasFill = r.Flag();
            l0.bNoHScale = r.Flag();
            l0.bNoVScale = r.Flag();
            r.UB(1);
            r.UB(5);
            r.UB(1);
            l0.eEndCap = ECap(std::min<uint32_t>(r.UB(2), 2));
            if (l0.eJoin == EJoin::Miter) l0.fMiterLimit = r.Fixed8();
            if (l0.bHasFill) {
                if (!ParseMorphFill(r, l0.fill, l1.fill)) return false;
                l0.color = l0.fill.color;
                l1.color = l1.fill.color;
            } else {
                l0.color = r.Rgba();
                l1.color = r.Rgba();
            }
            // Caps, joins and scaling are the start style's; only width and paint morph.
            CLineStyle end = l0;
            end.fWidth = l1.fWidth;
            end.color = l1.color;
            end.fill = l1.fill;
            l1 = end;
        } else {
            l0.color = r.Rgba();
            l1.color = r.Rgba();
        }
    }
    if (!r.Ok()) return false;
    CShapeParseContext ctx;
    ctx.nShapeVersion = 3;
    ctx.pEdgeBudget = pEdgeBudget;
    unsigned nFillBits = r.UB(4), nLineBits = r.UB(4);
    if (!ParseShapeRecords(r, ctx, nFillBits, nLineBits, m.startRecords, nullptr)) return false;
    if (nOffset > nAfterOffset) return false;
    CSwfReader e(pAfterOffset + nOffset, nAfterOffset - nOffset);
    nFillBits = e.UB(4);
    nLineBits = e.UB(4);
    ParseShapeRecords(e, ctx, nFillBits, nLineBits, m.endRecords, nullptr);
    return true;
}

static float Lerp(float a, float b, float t) { return a + (b - a) * t; }

static CFillStyle LerpFill(const CFillStyle& f0, const CFillStyle& f1, float t) {
    CFillStyle f = f0;
    f.color = CColor::Lerp(f0.color, f1.color, t);
    f.matrix = CMatrix::Lerp(f0.matrix, f1.matrix, t);
    f.gradient.fFocal = Lerp(f0.gradient.fFocal, f1.gradient.fFocal, t);
    for (size_t i = 0; i < f.gradient.stops.size() && i < f1.gradient.stops.size(); ++i) {
        f.gradient.stops[i].nRatio = uint8_t(Lerp(f0.gradient.stops[i].nRatio, f1.gradient.stops[i].nRatio, t) + 0.5f);
        f.gradient.stops[i].color = CColor::Lerp(f0.gradient.stops[i].color, f1.gradient.stops[i].color, t);
    }
    return f;
}

void MorphToShape(const CMorphShape& m, float t, CShape& out) {
    std::vector<CStyleTable> tables(1);
    for (size_t i = 0; i < m.startFills.size(); ++i) tables[0].fills.push_back(LerpFill(m.startFills[i], m.endFills[i], t));
    for (size_t i = 0; i < m.startLines.size(); ++i) {
        CLineStyle l = m.startLines[i];
        const CLineStyle& l1 = m.endLines[i];
        l.fWidth = Lerp(l.fWidth, l1.fWidth, t);
        l.color = CColor::Lerp(l.color, l1.color, t);
        l.fill = LerpFill(l.fill, l1.fill, t);
        tables[0].lines.push_back(l);
    }
    // The end edges pair with the start edges one to one; their style records carry only moves.
    std::vector<CShapeRecord> records;
    records.reserve(m.startRecords.size());
    size_t j = 0;
    float ex = 0, ey = 0;
    const auto& end = m.endRecords;
    for (const CShapeRecord& s : m.startRecords) {
        CShapeRecord rec = s;
        if (!s.bEdge) {
            // Edges are absolute, so a move only breaks line paths; the end move is consumed.
            if (j < end.size() && !end[j].bEdge) ++j;
            records.push_back(rec);
            continue;
        }
        while (j < end.size() && !end[j].bEdge) ++j;
        CSegment e = j < end.size() ? end[j++].seg : CSegment{ex, ey, ex, ey, ex, ey, false};
        rec.seg = {Lerp(s.seg.x0, e.x0, t), Lerp(s.seg.y0, e.y0, t), Lerp(s.seg.cx, e.cx, t),
                   Lerp(s.seg.cy, e.cy, t),  Lerp(s.seg.x1, e.x1, t), Lerp(s.seg.y1, e.y1, t),
                   s.seg.bCurve || e.bCurve};
        ex = e.x1;
        ey = e.y1;
        records.push_back(rec);
    }
    out.rcBounds = m.rcStart;
    BuildShape(records, tables, out);
}

}  // namespace player
