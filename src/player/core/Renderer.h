#pragma once
// Draws a display tree onto a canvas: shapes, morphs, text and sprites in depth order, under
// the masks that clip depths set up.
#include <memory>
#include <vector>

#include "player/core/Raster.h"
#include "player/core/Timeline.h"

namespace player {

enum class EScaleMode { ShowAll = 0, NoBorder = 1, ExactFit = 2, NoScale = 3 };

// Stage (twips) to target pixels for a w x h target.
CMatrix StageMatrix(const CRect& rcStage, int w, int h, EScaleMode eMode);

class CRenderer {
public:
    void Render(const CMovie& movie, const CClip& root, const CCanvas& canvas, EScaleMode eMode);

private:
    // Where drawing goes: the canvas, or (while a clip object is drawn) a mask.
    struct CTarget {
        const CCanvas* pCanvas = nullptr;
        CCoverageMask* pMask = nullptr;
    };
    void DrawClip(const CClip& clip, const CMatrix& m, const CColorTransform& cx, const CCoverageMask* pClip,
                  const CTarget& target, int nNesting);
    void DrawObject(const CDisplayObject& obj, const CMatrix& m, const CColorTransform& cx,
                    const CCoverageMask* pClip, const CTarget& target, int nNesting);
    void DrawShape(const CShape& shape, const CMatrix& m, const CColorTransform& cx, const CCoverageMask* pClip,
                   const CTarget& target);
    void DrawText(const CText& text, const CMatrix& m, const CColorTransform& cx, const CCoverageMask* pClip,
                  const CTarget& target);
    void FillPath(const CPath& path, EFillRule rule, const CPaint& paint, const CCoverageMask* pClip,
                  const CTarget& target);
    bool MakePaint(const CFillStyle& style, const CMatrix& m, const CColorTransform& cx, CPaint& paint) const;
    CCoverageMask* AcquireMask();

    const CMovie* m_pMovie = nullptr;
    int m_nWidth = 0, m_nHeight = 0;
    CRasterizer m_raster;
    CPath m_path, m_stroke;
    std::vector<std::unique_ptr<CCoverageMask>> m_masks;
    size_t m_nMasksInUse = 0;
    CShape m_morphShape;
};

}  // namespace player
