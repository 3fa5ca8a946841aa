// Any bytes as a movie: load, play a few frames with and without loop, render small.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/core/Player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    player::CPlayer p;
    if (p.Load(data, size) != player::ELoadError::None) return 0;
    p.SetLoop(size % 2 == 0);
    std::vector<uint32_t> pixels(48 * 36);
    for (int frame = 0; frame < 4; ++frame) {
        p.Render(pixels.data(), 48, 36, 48, player::EScaleMode(frame % 4));
        p.Advance();
        p.IsStatic();
    }
    return 0;
}
