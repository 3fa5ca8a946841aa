// JPEG images of a movie decoded by the platform's imaging component (WIC), which Windows has
// since Vista and Wine has as well.
#pragma once

#include "player/core/Bitmap.h"

namespace player {

class CWicJpegDecoder final : public IJpegDecoder {
public:
    bool Decode(const uint8_t* pData, size_t nSize, int nMaxDimension, uint32_t nMaxPixels, CBitmap& out) override;
};

}  // namespace player
