#pragma once
// Builds the first 32 bytes of an uncompressed SWF movie with a given frame rectangle.

#include "content/SwfHeader.h"

#include <array>
#include <cstdint>

struct SwfRect {
    unsigned nBits;  // 0..31
    std::uint32_t xMin, xMax, yMin, yMax;  // raw field bits, in twips
};

// Signature "FWS", version 6, a file length of 0, the rectangle packed most significant bit
// first from byte 8, and every following byte set to fill.
std::array<std::uint8_t, SWF_PROBE_BYTES> BuildSwfHeader(const SwfRect& rect, std::uint8_t fill = 0);
