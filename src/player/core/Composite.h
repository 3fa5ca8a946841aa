#pragma once
// Source-over compositing of premultiplied 0xAARRGGBB rows, the rasteriser's inner loop.
#include <cstdint>

namespace player {

// (v * a) / 255 rounded to nearest, for v and a in 0..255.
inline uint32_t MulDiv255(uint32_t v, uint32_t a) {
    uint32_t t = v * a + 128;
    return (t + (t >> 8)) >> 8;
}

// dst[i] = src[i] * cov[i] / 255 over dst[i], for i in [0, n). Channels are rounded to
// nearest and saturate at 255, so a source whose colour exceeds its alpha cannot bleed into
// the neighbouring channel.
void CompositeRow(uint32_t* dst, const uint32_t* src, const uint8_t* cov, int n);

}  // namespace player
