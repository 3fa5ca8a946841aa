#pragma once
// PNG in plain C++ over zlib: written for rendered frames, read for reference images (8-bit
// grey, grey-alpha, RGB, RGBA and palette images, not interlaced).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "player/core/Bitmap.h"

namespace player {

// Pixels are premultiplied 0xAARRGGBB; the PNG holds straight RGBA.
bool EncodePng(const uint32_t* pPixels, int w, int h, int nStride, std::vector<uint8_t>& out);
bool DecodePng(const uint8_t* pData, size_t nSize, int nMaxDimension, uint32_t nMaxPixels, CBitmap& out);

bool WritePngFile(const std::string& path, const CBitmap& image);
bool ReadPngFile(const std::string& path, CBitmap& out);

}  // namespace player
