#pragma once
// Shapes as the format describes them: style tables, and edges that name the fill on each of
// their sides (fill style 0 and 1) and the line drawn along them. The edges are regrouped
// once, at load time, into one edge set per fill style and one path list per line style.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/core/Geometry.h"

namespace player {

class CSwfReader;

enum class EFillType : uint8_t { Solid, Linear, Radial, Focal, Bitmap };
enum class ESpread : uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };
enum class ECap : uint8_t { Round = 0, None = 1, Square = 2 };
enum class EJoin : uint8_t { Round = 0, Bevel = 1, Miter = 2 };

struct CGradientStop {
    uint8_t nRatio = 0;
    CColor color;
};

struct CGradient {
    std::vector<CGradientStop> stops;
    ESpread eSpread = ESpread::Pad;
    bool bLinearRgb = false;
    float fFocal = 0;  // -1..1 along the x axis of the gradient square
};

struct CFillStyle {
    EFillType eType = EFillType::Solid;
    CColor color;
    CMatrix matrix;  // gradient square or bitmap space to shape space
    CGradient gradient;
    uint16_t nBitmapId = 0;
    bool bRepeat = true;
    bool bSmooth = true;
};

struct CLineStyle {
    float fWidth = 20;  // twips
    CColor color;
    ECap eStartCap = ECap::Round, eEndCap = ECap::Round;
    EJoin eJoin = EJoin::Round;
    float fMiterLimit = 3;
    bool bNoHScale = false, bNoVScale = false;
    bool bHasFill = false;
    CFillStyle fill;
};

// One edge, in twips, absolute; a straight edge has bCurve false and its control point unused.
struct CSegment {
    float x0, y0, cx, cy, x1, y1;
    bool bCurve;
    CSegment Reversed() const { return {x1, y1, cx, cy, x0, y0, bCurve}; }
};

struct CLinePath {
    unsigned nStyle = 0;  // index into the layer's line styles
    std::vector<CSegment> segments;
};

// A NewStyles record starts a layer drawn above the previous ones.
struct CShapeLayer {
    std::vector<CFillStyle> fills;
    std::vector<CLineStyle> lines;
    std::vector<std::vector<CSegment>> fillEdges;  // per fill style, closed under even-odd
    std::vector<CLinePath> linePaths;
};

struct CShape {
    CRect rcBounds;
    std::vector<CShapeLayer> layers;
};

struct CStyleTable {
    std::vector<CFillStyle> fills;
    std::vector<CLineStyle> lines;
};

// A shape record with its coordinates made absolute.
struct CShapeRecord {
    bool bEdge = false;
    CSegment seg{};       // edges
    bool bMove = false;   // style changes
    float mx = 0, my = 0;
    int nFill0 = -1, nFill1 = -1, nLine = -1;  // -1: unchanged
    int nNewStyles = -1;                       // index into the style tables
};

struct CShapeParseContext {
    int nShapeVersion = 1;   // 1..4 for DefineShape..DefineShape4; 1 for glyphs
    size_t* pEdgeBudget = nullptr;  // movie-wide edge count left
};

bool ParseFillStyles(CSwfReader& r, int nShapeVersion, std::vector<CFillStyle>& out);
bool ParseLineStyles(CSwfReader& r, int nShapeVersion, std::vector<CLineStyle>& out);
bool ParseFillStyle(CSwfReader& r, int nShapeVersion, CFillStyle& out);

// Reads records up to the end record. New style tables found on the way are appended to
// tables (when given) and named by index in the records.
bool ParseShapeRecords(CSwfReader& r, const CShapeParseContext& ctx, unsigned nFillBits,
                       unsigned nLineBits, std::vector<CShapeRecord>& out,
                       std::vector<CStyleTable>* pTables);

// Groups records into layers. tables[0] holds the initial styles.
void BuildShape(const std::vector<CShapeRecord>& records, const std::vector<CStyleTable>& tables,
                CShape& out);

// DefineShape 1..4 after the character id.
bool ParseDefineShape(CSwfReader& r, const CShapeParseContext& ctx, CShape& out);

// A glyph or other style-less SHAPE: one implicit fill style (index 1).
bool ParseGlyphShape(CSwfReader& r, const CShapeParseContext& ctx, CShape& out);

}  // namespace player
