#pragma once
// The demo movie: a 1024 x 768 stage, 30 frames per second, a four-second loop of gradient
// shapes, a morph, sprites with their own timelines, strokes and a mask.
#include <cstdint>
#include <vector>

namespace swfwriter {

std::vector<uint8_t> BuildDemoMovie(bool compress = true);

}  // namespace swfwriter
