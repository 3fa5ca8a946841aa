#include "player/core/Limits.h"
#include "player/core/Movie.h"
#include "player/core/SwfReader.h"

namespace player {

// Glyph shapes sit between consecutive entries of an offset table that starts at tableStart.
static void ParseGlyphs(const uint8_t* pTable, size_t nTable, const std::vector<uint32_t>& offsets,
                        uint32_t nEnd, size_t* pEdgeBudget, CFont& font) {
    CShapeParseContext ctx;
    ctx.nShapeVersion = 1;
    ctx.pEdgeBudget = pEdgeBudget;
    font.glyphs.resize(offsets.size());
    for (size_t i = 0; i < offsets.size(); ++i) {
        uint32_t begin = offsets[i];
        uint32_t end = i + 1 < offsets.size() ? offsets[i + 1] : nEnd;
        if (begin >= end || end > nTable) continue;
        CSwfReader g(pTable + begin, end - begin);
        ParseGlyphShape(g, ctx, font.glyphs[i]);
    }
}

bool ParseFont(CSwfReader& r, int nVersion, size_t* pEdgeBudget, CFont& font) {
    if (nVersion == 1) {
        const uint8_t* pTable = r.Current();
        size_t nTable = r.Remaining();
        uint16_t first = r.U16();
        size_t n = first / 2;
        std::vector<uint32_t> offsets;
        offsets.push_back(first);
        for (size_t i = 1; i < n && r.Ok(); ++i) offsets.push_back(r.U16());
        if (!r.Ok()) return false;
        ParseGlyphs(pTable, nTable, offsets, uint32_t(nTable), pEdgeBudget, font);
        return true;
    }
    uint8_t flags = r.U8();
    r.U8();  // language
    CSwfReader name = r.Sub(r.U8());
    if (name.Remaining()) {
        font.strName.assign(reinterpret_cast<const char*>(name.Current()), name.Remaining());
        font.strName = font.strName.substr(0, font.strName.find('\0'));  // some movies store the NUL
    }
    font.bItalic = flags & 0x02;
    font.bBold = flags & 0x01;
    uint16_t n = r.U16();
    const uint8_t* pTable = r.Current();
    size_t nTable = r.Remaining();
    const bool bWide = flags & 0x08;
    std::vector<uint32_t> offsets;
    offsets.reserve(n);
    for (uint16_t i = 0; i < n && r.Ok(); ++i) offsets.push_back(bWide ? r.U32() : r.U16());
    uint32_t nCodeTable = n ? (bWide ? r.U32() : r.U16()) : 0;
    if (!r.Ok()) return false;
    ParseGlyphs(pTable, nTable, offsets, nCodeTable, pEdgeBudget, font);
    font.fEmSquare = nVersion == 3 ? 20480.0f : 1024.0f;
    // The code table follows the glyphs, then the layout. Fonts without them still draw static
    // text, which names glyphs by index.
    if (n == 0 || nCodeTable > nTable) return true;
    CSwfReader tail(pTable + nCodeTable, nTable - nCodeTable);
    const bool bWideCodes = flags & 0x04;
    for (uint16_t i = 0; i < n && tail.Ok(); ++i) font.codes.push_back(bWideCodes ? tail.U16() : tail.U8());
    if (!tail.Ok()) {
        font.codes.clear();
        return true;
    }
    if (flags & 0x80) {
        float ascent = tail.U16(), descent = tail.U16();
        tail.S16();  // leading: text fields take theirs from the field
        std::vector<float> advances(n);
        for (float& a : advances) a = tail.S16();
        if (tail.Ok()) {
            font.fAscent = ascent;
            font.fDescent = descent;
            font.advances = std::move(advances);
        }
    }
    return true;
}

bool CFont::HasOutlines() const {
    for (const CShape& g : glyphs)
        for (const CShapeLayer& layer : g.layers)
            for (const auto& edges : layer.fillEdges)
                if (!edges.empty()) return true;
    return false;
}

bool ParseText(CSwfReader& r, int nVersion, CText& text) {
    text.rcBounds = r.Rect();
    text.matrix = r.Matrix();
    unsigned nGlyphBits = r.U8();
    unsigned nAdvanceBits = r.U8();
    if (nGlyphBits > 32 || nAdvanceBits > 32) return false;
    CTextRun style;
    float x = 0;
    size_t nGlyphs = 0;
    while (r.Ok()) {
        uint8_t flags = r.U8();
        if (flags == 0) break;
        // Every record after the first carries on the style of the one before.
        if (flags & 0x08) style.nFontId = r.U16();
        if (flags & 0x04) style.color = nVersion >= 2 ? r.Rgba() : r.Rgb();
        if (flags & 0x01) x = r.S16();
        if (flags & 0x02) style.y = r.S16();
        if (flags & 0x08) style.fHeight = r.U16();
        unsigned n = r.U8();
        CTextRun run = style;
        run.glyphs.resize(n);
        for (CTextGlyph& g : run.glyphs) {
            g.nIndex = r.UB(nGlyphBits);
            g.x = x;
            x += float(r.SB(nAdvanceBits));
        }
        r.Align();
        nGlyphs += n;
        if (nGlyphs > MAX_GLYPHS_PER_TEXT) return false;
        if (r.Ok()) text.runs.push_back(std::move(run));
    }
    return !text.runs.empty() || r.Ok();
}

}  // namespace player
