#include "player/core/Shape.h"

#include <algorithm>

#include "player/core/Limits.h"
#include "player/core/SwfReader.h"

namespace player {

static bool ParseGradient(CSwfReader& r, int nShapeVersion, CGradient& g) {
    // The spread and interpolation bits are reserved (zero) before DefineShape4.
    uint8_t b = r.U8();
    uint8_t nSpread = (b >> 6) & 3;
    g.eSpread = nSpread == 1 ? ESpread::Reflect : nSpread == 2 ? ESpread::Repeat : ESpread::Pad;
    g.bLinearRgb = ((b >> 4) & 3) == 1;
    unsigned n = b & 15;
    g.stops.resize(n);
    for (auto& s : g.stops) {
        s.nRatio = r.U8();
        s.color = nShapeVersion >= 3 ? r.Rgba() : r.Rgb();
    }
    return r.Ok();
}

bool ParseFillStyle(CSwfReader& r, int nShapeVersion, CFillStyle& f) {
    uint8_t nType = r.U8();
    switch (nType) {
    case 0x00:
        f.eType = EFillType::Solid;
        f.color = nShapeVersion >= 3 ? r.Rgba() : r.Rgb();
        break;
    case 0x10:
    case 0x12:
    case 0x13:
        f.eType = nType == 0x10 ? EFillType::Linear : nType == 0x12 ? EFillType::Radial : EFillType::Focal;
        f.matrix = r.Matrix();
        ParseGradient(r, nShapeVersion, f.gradient);
        if (nType == 0x13) f.gradient.fFocal = r.Fixed8();
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        f.eType = EFillType::Bitmap;
        f.nBitmapId = r.U16();
        f.matrix = r.Matrix();
        f.bRepeat = nType == 0x40 || nType == 0x42;
        f.bSmooth = nType == 0x40 || nType == 0x41;
        break;
    default:
        r.Fail();
        return false;
    }
    return r.Ok();
}

static size_t StyleCount(CSwfReader& r, int nShapeVersion) {
    size_t n = r.U8();
    if (n == 0xff && nShapeVersion >= 2) n = r.U16();
    return n;
}

bool ParseFillStyles(CSwfReader& r, int nShapeVersion, std::vector<CFillStyle>& out) {
    size_t n = StyleCount(r, nShapeVersion);
    if (n > MAX_STYLES_PER_SHAPE) return false;
    out.resize(n);
    for (auto& f : out)
        if (!ParseFillStyle(r, nShapeVersion, f)) return false;
    return r.Ok();
}

bool ParseLineStyles(CSwfReader& r, int nShapeVersion, std::vector<CLineStyle>& out) {
    size_t n = StyleCount(r, nShapeVersion);
    if (n > MAX_STYLES_PER_SHAPE) return false;
    out.resize(n);
    for (auto& l : out) {
        l.fWidth = r.U16();
        if (nShapeVersion < 4) {
            l.color = nShapeVersion >= 3 ? r.Rgba() : r.Rgb();
            continue;
        }
        l.eStartCap = ECap(std::min<uint32_t>(r.UB(2), 2));
        l.eJoin = EJoin(std::min<uint32_t>(r.UB(2), 2));
        l.bHasFill = r.Flag();
        l.bNoHScale = r.Flag();
        l.bNoVScale = r.Flag();
        r.UB(1);  // pixel hinting
        r.UB(5);
        r.UB(1);  // no close
        l.eEndCap = ECap(std::min<uint32_t>(r.UB(2), 2));
        if (l.eJoin == EJoin::Miter) l.fMiterLimit = r.Fixed8();
        if (l.bHasFill) {
            if (!ParseFillStyle(r, nShapeVersion, l.fill)) return false;
            l.color = l.fill.eType == EFillType::Solid ? l.fill.color : CColor{0, 0, 0, 255};
        } else {
            l.color = r.Rgba();
        }
    }
    return r.Ok();
}

bool ParseShapeRecords(CSwfReader& r, const CShapeParseContext& ctx, unsigned nFillBits,
                       unsigned nLineBits, std::vector<CShapeRecord>& out,
                       std::vector<CStyleTable>* pTables) {
    float x = 0, y = 0;
    size_t nEdges = 0;
    for (;;) {
        if (!r.Ok()) return false;
        CShapeRecord rec;
        if (r.Flag()) {
            rec.bEdge = true;
            bool bStraight = r.Flag();
            unsigned nBits = r.UB(4) + 2;
            rec.seg.x0 = x;
            rec.seg.y0 = y;
            if (bStraight) {
                float dx = 0, dy = 0;
                if (r.Flag()) {
                    dx = float(r.SB(nBits));
                    dy = float(r.SB(nBits));
                } else if (r.Flag()) {
                    dy = float(r.SB(nBits));
                } else {
                    dx = float(r.SB(nBits));
                }
                rec.seg.bCurve = false;
                rec.seg.x1 = x + dx;
                rec.seg.y1 = y + dy;
                rec.seg.cx = (x + rec.seg.x1) / 2;
                rec.seg.cy = (y + rec.seg.y1) / 2;
            } else {
                rec.seg.bCurve = true;
                rec.seg.cx = x + float(r.SB(nBits));
                rec.seg.cy = y + float(r.SB(nBits));
                rec.seg.x1 = rec.seg.cx + float(r.SB(nBits));
                rec.seg.y1 = rec.seg.cy + float(r.SB(nBits));
            }
            x = rec.seg.x1;
            y = rec.seg.y1;
            if (++nEdges > MAX_EDGES_PER_SHAPE) return false;
            if (ctx.pEdgeBudget) {
                if (*ctx.pEdgeBudget == 0) return false;
                --*ctx.pEdgeBudget;
            }
            out.push_back(rec);
            continue;
        }
        unsigned nFlags = r.UB(5);
        if (nFlags == 0) return r.Ok();
        if (nFlags & 1) {
            unsigned nBits = r.UB(5);
            rec.bMove = true;
            x = rec.mx = float(r.SB(nBits));
            y = rec.my = float(r.SB(nBits));
        }
        if (nFlags & 2) rec.nFill0 = int(r.UB(nFillBits));
        if (nFlags & 4) rec.nFill1 = int(r.UB(nFillBits));
        if (nFlags & 8) rec.nLine = int(r.UB(nLineBits));
        if ((nFlags & 16) && ctx.nShapeVersion >= 2 && pTables) {
            CStyleTable t;
            if (!ParseFillStyles(r, ctx.nShapeVersion, t.fills)) return false;
            if (!ParseLineStyles(r, ctx.nShapeVersion, t.lines)) return false;
            if (pTables->size() >= MAX_STYLES_PER_SHAPE) return false;
            rec.nNewStyles = int(pTables->size());
            pTables->push_back(std::move(t));
            nFillBits = r.UB(4);
            nLineBits = r.UB(4);
        }
        out.push_back(rec);
    }
}

static void StartLayer(const CStyleTable& t, CShape& out) {
    CShapeLayer layer;
    layer.fills = t.fills;
    layer.lines = t.lines;
    layer.fillEdges.resize(t.fills.size());
    out.layers.push_back(std::move(layer));
}

void BuildShape(const std::vector<CShapeRecord>& records, const std::vector<CStyleTable>& tables,
                CShape& out) {
    out.layers.clear();
    if (tables.empty()) return;
    StartLayer(tables[0], out);
    int nFill0 = 0, nFill1 = 0, nLine = 0;
    bool bNewPath = true;
    for (const CShapeRecord& rec : records) {
        CShapeLayer& layer = out.layers.back();
        if (!rec.bEdge) {
            if (rec.nNewStyles >= 0 && size_t(rec.nNewStyles) < tables.size()) {
                StartLayer(tables[size_t(rec.nNewStyles)], out);
                nFill0 = nFill1 = nLine = 0;
            }
            if (rec.nFill0 >= 0) nFill0 = rec.nFill0;
            if (rec.nFill1 >= 0) nFill1 = rec.nFill1;
            if (rec.nLine >= 0) nLine = rec.nLine;
            bNewPath = true;
            continue;
        }
        size_t nFills = layer.fills.size();
        // The two sides of an edge bounding the same fill cancel; the edge adds nothing.
        if (nFill0 != nFill1) {
            if (nFill0 > 0 && size_t(nFill0) <= nFills) layer.fillEdges[size_t(nFill0) - 1].push_back(rec.seg.Reversed());
            if (nFill1 > 0 && size_t(nFill1) <= nFills) layer.fillEdges[size_t(nFill1) - 1].push_back(rec.seg);
        }
        if (nLine > 0 && size_t(nLine) <= layer.lines.size()) {
            if (bNewPath || layer.linePaths.empty() || layer.linePaths.back().nStyle != unsigned(nLine - 1)) {
                layer.linePaths.push_back(CLinePath{unsigned(nLine - 1), {}});
                bNewPath = false;
            }
            layer.linePaths.back().segments.push_back(rec.seg);
        }
    }
}

bool ParseDefineShape(CSwfReader& r, const CShapeParseContext& ctx, CShape& out) {
    out.rcBounds = r.Rect();
    if (ctx.nShapeVersion >= 4) {
        r.Rect();  // edge bounds
        r.U8();    // stroke scaling flags, summed up again per line style
    }
    std::vector<CStyleTable> tables(1);
    if (!ParseFillStyles(r, ctx.nShapeVersion, tables[0].fills)) return false;
    if (!ParseLineStyles(r, ctx.nShapeVersion, tables[0].lines)) return false;
    unsigned nFillBits = r.UB(4);
    unsigned nLineBits = r.UB(4);
    std::vector<CShapeRecord> records;
    // A shape cut short still shows what it has, as the format's readers have always done.
    bool bOk = ParseShapeRecords(r, ctx, nFillBits, nLineBits, records, &tables);
    BuildShape(records, tables, out);
    return bOk || !records.empty();
}

bool ParseGlyphShape(CSwfReader& r, const CShapeParseContext& ctx, CShape& out) {
    std::vector<CStyleTable> tables(1);
    tables[0].fills.resize(1);
    unsigned nFillBits = r.UB(4);
    unsigned nLineBits = r.UB(4);
    std::vector<CShapeRecord> records;
    bool bOk = ParseShapeRecords(r, ctx, nFillBits, nLineBits, records, nullptr);
    BuildShape(records, tables, out);
    return bOk;
}

}  // namespace player
