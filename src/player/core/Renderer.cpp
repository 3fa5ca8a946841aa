#include "player/core/Renderer.h"

#include <algorithm>
#include <cmath>

#include "player/core/Limits.h"

namespace player {

// Each clip object holds a full-target mask while the depths it clips are drawn; nesting of
// masks deeper than this draws the deeper ones unclipped by them.
static constexpr size_t MAX_MASKS = 16;

CMatrix StageMatrix(const CRect& rc, int w, int h, EScaleMode eMode) {
    float sw = rc.Width() / TWIPS_PER_PIXEL, sh = rc.Height() / TWIPS_PER_PIXEL;
    if (!(sw > 0) || !(sh > 0)) {
        sw = float(std::max(1, w));
        sh = float(std::max(1, h));
    }
    float sx = w / sw, sy = h / sh;
    switch (eMode) {
    case EScaleMode::ShowAll: sx = sy = std::min(sx, sy); break;
    case EScaleMode::NoBorder: sx = sy = std::max(sx, sy); break;
    case EScaleMode::ExactFit: break;
    case EScaleMode::NoScale: sx = sy = 1; break;
    }
    // Centred, as the stage is aligned by default.
    float ox = (w - sw * sx) * 0.5f, oy = (h - sh * sy) * 0.5f;
    CMatrix m;
    m.a = sx / TWIPS_PER_PIXEL;
    m.d = sy / TWIPS_PER_PIXEL;
    m.tx = ox - rc.xMin * m.a;
    m.ty = oy - rc.yMin * m.d;
    return m;
}

void CRenderer::Render(const CMovie& movie, const CClip& root, const CCanvas& canvas, EScaleMode eMode) {
    if (canvas.nWidth <= 0 || canvas.nHeight <= 0 || !canvas.pPixels) return;
    m_pMovie = &movie;
    m_nWidth = canvas.nWidth;
    m_nHeight = canvas.nHeight;
    m_nMasksInUse = 0;
    CColor bg = movie.background;
    bg.a = 255;
    canvas.Clear(Premultiply(bg));
    CTarget target;
    target.pCanvas = &canvas;
    DrawClip(root, StageMatrix(movie.header.rcFrame, canvas.nWidth, canvas.nHeight, eMode), CColorTransform(),
             nullptr, target, 0);
}

CCoverageMask* CRenderer::AcquireMask() {
    if (m_nMasksInUse >= MAX_MASKS) return nullptr;
    if (m_masks.size() <= m_nMasksInUse) m_masks.push_back(std::make_unique<CCoverageMask>());
    CCoverageMask* p = m_masks[m_nMasksInUse++].get();
    p->Reset(m_nWidth, m_nHeight);
    return p;
}

void CRenderer::DrawClip(const CClip& clip, const CMatrix& m, const CColorTransform& cx, const CCoverageMask* pClip,
                         const CTarget& target, int nNesting) {
    if (nNesting >= MAX_SPRITE_NESTING) return;
    struct CActiveMask {
        uint16_t nUntilDepth;
        const CCoverageMask* pMask;
    };
    std::vector<CActiveMask> masks;
    const size_t nMasksBefore = m_nMasksInUse;
    for (const auto& [nDepth, obj] : clip.DisplayList()) {
        while (!masks.empty() && nDepth > masks.back().nUntilDepth) masks.pop_back();
        const CCoverageMask* pActive = masks.empty() ? pClip : masks.back().pMask;
        if (obj.nClipDepth > 0) {
            // A clip object draws nothing itself; its fills become the mask of the depths above
            // it up to its clip depth, within whatever mask already applies.
            CCoverageMask* pMask = AcquireMask();
            if (!pMask) continue;
            CTarget maskTarget;
            maskTarget.pMask = pMask;
            DrawObject(obj, m, cx, pActive, maskTarget, nNesting);
            masks.push_back({obj.nClipDepth, pMask});
            continue;
        }
        DrawObject(obj, m, cx, pActive, target, nNesting);
    }
    m_nMasksInUse = nMasksBefore;
}

void CRenderer::DrawObject(const CDisplayObject& obj, const CMatrix& parent, const CColorTransform& parentCx,
                           const CCoverageMask* pClip, const CTarget& target, int nNesting) {
    if (!obj.pCharacter) return;
    CMatrix m = parent.Concat(obj.matrix);
    CColorTransform cx = parentCx.Concat(obj.cxform);
    const CCharacter& c = *obj.pCharacter;
    switch (c.eKind) {
    case ECharacterKind::Shape: DrawShape(*c.pShape, m, cx, pClip, target); break;
    case ECharacterKind::Morph:
        MorphToShape(*c.pMorph, obj.nRatio / 65535.0f, m_morphShape);
        DrawShape(m_morphShape, m, cx, pClip, target);
        break;
    case ECharacterKind::Text: DrawText(*c.pText, m, cx, pClip, target); break;
    case ECharacterKind::Sprite:
        if (obj.pClip) DrawClip(*obj.pClip, m, cx, pClip, target, nNesting + 1);
        break;
    case ECharacterKind::Bitmap:
    case ECharacterKind::Font: break;
    }
}

bool CRenderer::MakePaint(const CFillStyle& style, const CMatrix& m, const CColorTransform& cx, CPaint& paint) const {
    paint = CPaint();
    paint.eType = style.eType;
    paint.color = style.color;
    paint.cxform = cx;
    paint.matrix = m.Concat(style.matrix);
    paint.pGradient = &style.gradient;
    if (style.eType == EFillType::Bitmap) {
        const CCharacter* pChar = m_pMovie->Find(style.nBitmapId);
        if (!pChar || pChar->eKind != ECharacterKind::Bitmap) return false;
        paint.pBitmap = pChar->pBitmap.get();
        paint.bRepeat = style.bRepeat;
        paint.bSmooth = style.bSmooth;
    }
    return true;
}

void CRenderer::FillPath(const CPath& path, EFillRule rule, const CPaint& paint, const CCoverageMask* pClip,
                         const CTarget& target) {
    if (target.pMask)
        m_raster.FillMask(*target.pMask, path, rule, pClip);
    else
        m_raster.Fill(*target.pCanvas, path, rule, paint, pClip);
}

// Appends edges as contours, continuing a contour while each edge starts where the last ended.
static void AppendSegments(const std::vector<CSegment>& segs, const CMatrix& m, CPath& path) {
    bool bOpen = false;
    CPointF last{};
    for (const CSegment& s : segs) {
        CPointF p0 = m.Apply(s.x0, s.y0);
        if (!bOpen || std::fabs(p0.x - last.x) > 1e-3f || std::fabs(p0.y - last.y) > 1e-3f) {
            path.MoveTo(p0.x, p0.y);
            bOpen = true;
        }
        CPointF p1 = m.Apply(s.x1, s.y1);
        if (s.bCurve) {
            CPointF c = m.Apply(s.cx, s.cy);
            path.QuadTo(c.x, c.y, p1.x, p1.y);
        } else {
            path.LineTo(p1.x, p1.y);
        }
        last = p1;
    }
}

void CRenderer::DrawShape(const CShape& shape, const CMatrix& m, const CColorTransform& cx, const CCoverageMask* pClip,
                          const CTarget& target) {
    const float scale = std::sqrt(std::fabs(m.Determinant()));
    for (const CShapeLayer& layer : shape.layers) {
        for (size_t i = 0; i < layer.fills.size(); ++i) {
            if (layer.fillEdges[i].empty()) continue;
            CPaint paint;
            if (!MakePaint(layer.fills[i], m, cx, paint)) continue;
            m_path = CPath();
            AppendSegments(layer.fillEdges[i], m, m_path);
            FillPath(m_path, EFillRule::EvenOdd, paint, pClip, target);
        }
        // Strokes do not take part in masks.
        if (target.pMask) continue;
        for (const CLinePath& lp : layer.linePaths) {
            const CLineStyle& ls = layer.lines[lp.nStyle];
            CPaint paint;
            if (ls.bHasFill) {
                if (!MakePaint(ls.fill, m, cx, paint)) continue;
            } else {
                paint.color = ls.color;
                paint.cxform = cx;
            }
            m_path = CPath();
            AppendSegments(lp.segments, m, m_path);
            const CSegment& first = lp.segments.front();
            const CSegment& last = lp.segments.back();
            if (lp.segments.size() > 1 && first.x0 == last.x1 && first.y0 == last.y1) m_path.Close();
            CStrokeStyle st;
            float w = ls.bNoHScale || ls.bNoVScale ? ls.fWidth / TWIPS_PER_PIXEL : ls.fWidth * scale;
            // Hairlines and thin lines stay one pixel wide at any scale.
            st.fWidth = std::max(1.0f, std::min(w, 1.0e5f));
            st.eStartCap = ls.eStartCap;
            st.eEndCap = ls.eEndCap;
            st.eJoin = ls.eJoin;
            st.fMiterLimit = std::max(1.0f, ls.fMiterLimit);
            m_stroke = CPath();
            StrokePath(m_path, st, m_stroke);
            FillPath(m_stroke, EFillRule::NonZero, paint, pClip, target);
        }
    }
}

void CRenderer::DrawText(const CText& text, const CMatrix& parent, const CColorTransform& cx,
                         const CCoverageMask* pClip, const CTarget& target) {
    CMatrix m = parent.Concat(text.matrix);
    if (text.pFrame) DrawShape(*text.pFrame, m, cx, pClip, target);
    for (const CTextRun& run : text.runs) {
        const CFont* pFont = text.pOwnFont.get();
        if (!pFont) {
            const CCharacter* pChar = m_pMovie->Find(run.nFontId);
            if (!pChar || pChar->eKind != ECharacterKind::Font) continue;
            pFont = pChar->pFont.get();
        }
        const CFont& font = *pFont;
        float k = run.fHeight / font.fEmSquare;
        m_path = CPath();
        for (const CTextGlyph& g : run.glyphs) {
            if (g.nIndex >= font.glyphs.size()) continue;
            CMatrix gm = m.Concat(CMatrix{k, 0, 0, k, g.x, run.y});
            for (const CShapeLayer& layer : font.glyphs[g.nIndex].layers)
                for (const auto& edges : layer.fillEdges) AppendSegments(edges, gm, m_path);
        }
        CPaint paint;
        paint.color = run.color;
        paint.cxform = cx;
        FillPath(m_path, EFillRule::NonZero, paint, pClip, target);
    }
}

}  // namespace player
