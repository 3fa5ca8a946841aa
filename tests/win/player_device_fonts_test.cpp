// Text in device fonts: the player asks GDI for the outlines of the platform's fonts.
#include "player/core/Player.h"
#include "player/win/GdiDeviceFonts.h"

#include "DeviceFontFieldMovie.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct CExtent {
    size_t nEdges = 0;
    float yMin = 0, yMax = 0;
};

CExtent ExtentOf(const player::CShape& glyph)
{
    CExtent e;
    for (const player::CShapeLayer& layer : glyph.layers)
        for (const auto& edges : layer.fillEdges)
            for (const player::CSegment& s : edges) {
                e.yMin = std::min({e.yMin, s.y0, s.y1});
                e.yMax = std::max({e.yMax, s.y0, s.y1});
                ++e.nEdges;
            }
    return e;
}

TEST(PlayerDeviceFontsTest, OutlinesStandOnTheBaselineWithAdvancesAndMetrics)
{
    player::CGdiDeviceFonts fonts;
    // The generic names, and a family the system lacks, which falls back to another font.
    for (const char* name : {"_sans", "_serif", "_typewriter", "No Such Family"}) {
        SCOPED_TRACE(name);
        player::CFont font;  // an em of 1024 units
        ASSERT_TRUE(fonts.Outline(name, false, false, {'H', ' ', 'g'}, font));
        ASSERT_EQ(3u, font.glyphs.size());
        ASSERT_EQ(3u, font.advances.size());
        const CExtent h = ExtentOf(font.glyphs[0]), space = ExtentOf(font.glyphs[1]), g = ExtentOf(font.glyphs[2]);
        EXPECT_GT(h.nEdges, 4u);
        EXPECT_LT(h.yMin, -400.0f);  // a capital rises well above the baseline...
        EXPECT_LT(h.yMax, 20.0f);    // ...and stands on it
        EXPECT_GT(g.yMax, 100.0f);   // a descender goes below it
        EXPECT_EQ(0u, space.nEdges);
        for (float advance : font.advances)
            EXPECT_GT(advance, 100.0f);
        EXPECT_GT(font.fAscent, 600.0f);
        EXPECT_GT(font.fDescent, 100.0f);
    }
}

TEST(PlayerDeviceFontsTest, TextFieldInADeviceFontShowsItsText)
{
    const std::vector<uint8_t> bytes = BuildDeviceFontFieldMovie(200, 60, 40, "HHHH");

    auto inkedPixels = [&](player::IDeviceFonts* pFonts) {
        player::CPlayer p(nullptr, pFonts);
        EXPECT_EQ(player::ELoadError::None, p.Load(bytes.data(), bytes.size()));
        std::vector<uint32_t> pixels(200 * 60);
        p.Render(pixels.data(), 200, 60, 200, player::EScaleMode::ExactFit);
        return std::count_if(pixels.begin(), pixels.end(), [](uint32_t px) { return (px & 0xFFFF) < 0x8080; });
    };
    player::CGdiDeviceFonts fonts;
    const auto inked = inkedPixels(&fonts);
    // Four capitals of about 28 x 29 pixels are a few hundred pixels at the least.
    EXPECT_GT(inked, 4 * 100);
    EXPECT_LT(inked, 4 * 40 * 40);
    EXPECT_EQ(0, inkedPixels(nullptr));
}

}  // namespace
