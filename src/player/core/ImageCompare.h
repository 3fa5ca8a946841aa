#pragma once
// Holds a rendered frame against a reference image: a pixel is off when any of its channels
// (straight colour and alpha) differs by more than the tolerance.
#include <cstddef>
#include <string>

#include "player/core/Bitmap.h"

namespace player {

struct CImageDiff {
    bool bSameSize = false;
    size_t nPixels = 0;
    size_t nOff = 0;
    int nMaxDelta = 0;
    double ShareOff() const { return nPixels ? double(nOff) / double(nPixels) : 1.0; }
    std::string Describe() const;
};

CImageDiff CompareImages(const CBitmap& actual, const CBitmap& expected, int nTolerance);

}  // namespace player
