#pragma once
// Where the Flash control sits in the movie window: pct percent of a base size chosen by the
// scale mode, centred on the window.

#include <cstdint>

struct ControlRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// W and H: the window's client size. nScaleMode and nSizePercent: the settings bytes.
// mw and mh: the movie's frame size from the header probe (0 when it had none).
ControlRect ComputeControlRect(std::int32_t W, std::int32_t H, std::uint8_t nSizePercent,
                               std::uint8_t nScaleMode, std::uint32_t mw, std::uint32_t mh);
