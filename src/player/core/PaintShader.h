#pragma once
// Turns a CPaint into rows of premultiplied colour for the rasteriser.
#include <cstdint>
#include <vector>

#include "player/core/Raster.h"

namespace player {

class CPaintShader {
public:
    // False when the paint cannot show anything (a degenerate matrix, a missing bitmap).
    bool Prepare(const CPaint& paint);
    bool IsSolid() const { return m_bSolid; }
    uint32_t SolidColor() const { return m_nSolid; }
    // Colours for pixels [x, x + n) of row y, sampled at pixel centres.
    void ShadeRow(int x, int y, int n, uint32_t* pOut) const;

private:
    void ShadeGradient(int x, int y, int n, uint32_t* pOut) const;
    void ShadeBitmap(int x, int y, int n, uint32_t* pOut) const;

    const CPaint* m_pPaint = nullptr;
    bool m_bSolid = true;
    uint32_t m_nSolid = 0;
    CMatrix m_inverse;
    uint32_t m_lut[256] = {};
    mutable std::vector<float> m_positions;  // one row of gradient positions
};

}  // namespace player
