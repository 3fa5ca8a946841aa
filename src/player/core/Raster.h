#pragma once
// The rasteriser: paths in float pixel space, filled with exact area coverage (anti-aliased)
// into a 32-bit premultiplied canvas. Pixels are uint32_t values 0xAARRGGBB, which sit in
// memory as the bytes B, G, R, A on the little-endian machines this runs on: the layout of a
// 32-bit top-down DIB section.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/core/Geometry.h"
#include "player/core/Shape.h"

namespace player {

struct CBitmap;

struct CCanvas {
    uint32_t* pPixels = nullptr;
    int nWidth = 0, nHeight = 0;
    int nStride = 0;  // pixels per row

    uint32_t* Row(int y) const { return pPixels + size_t(y) * size_t(nStride); }
    void Clear(uint32_t nArgb) const;
};

// Premultiplied 0xAARRGGBB from a straight-alpha colour.
uint32_t Premultiply(CColor c);
CColor Unpremultiply(uint32_t argb);

// Line segments grouped in contours. A fill uses exactly the segments given: an open contour is
// not closed, because the format's edge sets close only as a whole. Close() adds the closing
// segment for callers that build closed outlines.
class CPath {
public:
    void MoveTo(float x, float y);
    void LineTo(float x, float y);
    // Quadratic Bezier, flattened here to within a tenth of a pixel.
    void QuadTo(float cx, float cy, float x, float y);
    void Close();
    void AddRect(float x0, float y0, float x1, float y1);
    void AddCircle(float cx, float cy, float r);
    bool Empty() const { return m_points.size() < 2; }

    struct CContour {
        uint32_t nStart, nCount;
        bool bClosed;
    };
    const std::vector<CPointF>& Points() const { return m_points; }
    const std::vector<CContour>& Contours() const { return m_contours; }

private:
    std::vector<CPointF> m_points;
    std::vector<CContour> m_contours;
};

enum class EFillRule { NonZero, EvenOdd };

// How a region is coloured. Gradients live in the format's gradient square (-16384..16384 on
// both axes), bitmaps in their own pixel space; matrix maps that space to canvas pixels.
struct CPaint {
    EFillType eType = EFillType::Solid;
    CColor color;
    const CGradient* pGradient = nullptr;
    const CBitmap* pBitmap = nullptr;
    bool bRepeat = true, bSmooth = true;
    CMatrix matrix;
    CColorTransform cxform;
};

// 8-bit coverage over the canvas: 255 lets everything through.
struct CCoverageMask {
    int nWidth = 0, nHeight = 0;
    std::vector<uint8_t> cov;
    void Reset(int w, int h) {
        nWidth = w;
        nHeight = h;
        cov.assign(size_t(w) * size_t(h), 0);
    }
};

struct CStrokeStyle {
    float fWidth = 1;  // pixels
    ECap eStartCap = ECap::Round, eEndCap = ECap::Round;
    EJoin eJoin = EJoin::Round;
    float fMiterLimit = 3;
};

// The outline of a stroke as closed polygons of one orientation, to be filled non-zero.
void StrokePath(const CPath& in, const CStrokeStyle& style, CPath& out);

class CRasterizer {
public:
    void Fill(const CCanvas& canvas, const CPath& path, EFillRule rule, const CPaint& paint,
              const CCoverageMask* pClip);
    // Adds the path's coverage to the mask (saturating), limited by pClip when given.
    void FillMask(CCoverageMask& mask, const CPath& path, EFillRule rule, const CCoverageMask* pClip);

private:
    // Accumulates the path's signed area into m_acc over the canvas-clipped bounding box;
    // returns false when nothing of it falls inside a w x h canvas.
    bool Accumulate(const CPath& path, int w, int h);
    void AddLine(float x0, float y0, float x1, float y1);
    void AddClampedLine(float x0, float y0, float x1, float y1);
    // Converts one row of accumulated area to 8-bit coverage and clears it for the next path.
    // Returns the span [xBegin, xEnd) of the row that may be covered.
    bool RowCoverage(int row, EFillRule rule, int& xBegin, int& xEnd);

    int m_nX0 = 0, m_nY0 = 0, m_nW = 0, m_nH = 0;
    std::vector<float> m_acc;          // (m_nW + 2) x m_nH
    std::vector<int> m_rowMin, m_rowMax;
    // Per row, one bit per 32 columns that hold any accumulated area: the others carry the
    // running sum unchanged, so their coverage is one value for the whole block.
    std::vector<uint64_t> m_blocks;
    size_t m_nBlockWords = 1;
    std::vector<uint8_t> m_cov;        // one row
    std::vector<uint32_t> m_colors;    // one row of paint
};

}  // namespace player
