#include "player/core/ImageCompare.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "player/core/Raster.h"

namespace player {

std::string CImageDiff::Describe() const {
    std::ostringstream s;
    if (!bSameSize) return "sizes differ";
    s << nOff << " of " << nPixels << " pixels off (" << ShareOff() * 100.0 << "%), largest channel difference "
      << nMaxDelta;
    return s.str();
}

CImageDiff CompareImages(const CBitmap& actual, const CBitmap& expected, int nTolerance) {
    CImageDiff d;
    d.bSameSize = actual.nWidth == expected.nWidth && actual.nHeight == expected.nHeight &&
                  actual.pixels.size() == expected.pixels.size();
    if (!d.bSameSize) return d;
    d.nPixels = actual.pixels.size();
    for (size_t i = 0; i < d.nPixels; ++i) {
        CColor a = Unpremultiply(actual.pixels[i]), e = Unpremultiply(expected.pixels[i]);
        int delta = std::max({std::abs(a.r - e.r), std::abs(a.g - e.g), std::abs(a.b - e.b), std::abs(a.a - e.a)});
        // Colour under full transparency is meaningless.
        if (a.a == 0 && e.a == 0) delta = 0;
        d.nMaxDelta = std::max(d.nMaxDelta, delta);
        if (delta > nTolerance) ++d.nOff;
    }
    return d;
}

}  // namespace player
