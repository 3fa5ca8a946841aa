#include "movie/ControlRect.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

struct RectCase {
    std::int32_t W, H;
    std::uint32_t mw, mh;
    std::uint8_t mode, pct;
    ControlRect expected;
};

TEST(ControlRect, WorkedExamples)
{
    const RectCase cases[] = {
        {1024, 768, 550, 400, 0, 100, {237, 184, 787, 584}},
        {1024, 768, 550, 400, 1, 100, {0, 12, 1024, 756}},
        {1024, 768, 550, 400, 2, 100, {0, 0, 1024, 768}},
        {1280, 1024, 550, 400, 1, 50, {320, 279, 960, 745}},
        {1920, 1080, 550, 400, 1, 100, {217, 0, 1703, 1080}},
        {1024, 768, 800, 600, 1, 100, {0, 0, 1024, 768}},
        {1024, 768, 550, 400, 0, 150, {99, 84, 925, 684}},
        {800, 600, 1000, 700, 0, 100, {-100, -50, 900, 650}},
        {1024, 768, 550, 400, 3, 80, {102, 77, 922, 691}},
        {152, 112, 550, 400, 1, 100, {0, 1, 152, 111}},
        // An empty control sits at the centre; an odd remainder widens it by one pixel.
        {1024, 768, 550, 400, 0, 0, {512, 384, 512, 384}},
        {1025, 768, 550, 400, 0, 0, {512, 384, 513, 384}},
        {1024, 768, 550, 400, 2, 0, {512, 384, 512, 384}},
        // A zero frame size from the probe: every mode takes pct percent of the window.
        {1024, 768, 0, 0, 0, 50, {256, 192, 768, 576}},
        {1024, 768, 550, 0, 1, 50, {256, 192, 768, 576}},
        // A scale mode of 7 acts as 2.
        {1024, 768, 550, 400, 7, 100, {0, 0, 1024, 768}},
        // A window of no height: the fit compares an infinite ratio and keeps the height.
        {1024, 0, 550, 400, 1, 100, {512, 0, 512, 0}},
    };
    for (const RectCase& c : cases) {
        const ControlRect r = ComputeControlRect(c.W, c.H, c.pct, c.mode, c.mw, c.mh);
        const auto tuple = [](const ControlRect& x) { return std::make_tuple(x.left, x.top, x.right, x.bottom); };
        EXPECT_EQ(tuple(r), tuple(c.expected))
            << c.W << "x" << c.H << " movie " << c.mw << "x" << c.mh << " mode " << int(c.mode) << " pct " << int(c.pct);
    }
}

} // namespace
