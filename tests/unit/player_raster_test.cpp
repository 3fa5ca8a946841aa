// The rasteriser against shapes whose coverage is known exactly or nearly.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "player/core/Bitmap.h"
#include "player/core/Composite.h"
#include "player/core/Raster.h"
#include "player_Fixtures.h"

using namespace player;
using playertest::CImage;

namespace {

CPaint Solid(CColor c) {
    CPaint p;
    p.color = c;
    return p;
}

const CColor WHITE{255, 255, 255, 255};

CImage FillRect(float x0, float y0, float x1, float y1, int w = 10, int h = 10) {
    CImage img = CImage::Blank(w, h);
    CPath path;
    path.AddRect(x0, y0, x1, y1);
    CRasterizer r;
    r.Fill(img.Canvas(), path, EFillRule::NonZero, Solid(WHITE), nullptr);
    return img;
}

TEST(PlayerRaster, SquareOnPixelEdgesCoversWholePixelsOnly) {
    CImage img = FillRect(2, 3, 6, 7);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 2 && x < 6 && y >= 3 && y < 7;
            EXPECT_EQ(img.At(x, y), inside ? 0xffffffffu : 0u) << x << "," << y;
        }
}

TEST(PlayerRaster, HalfPixelOffsetsGiveHalfCoverage) {
    struct {
        float x0, y0, x1, y1;
        int px, py;
        int alpha;
    } cases[] = {
        {2.5f, 2, 6, 6, 2, 3, 128},    // left edge through the middle of column 2
        {2, 2, 6.5f, 6, 6, 3, 128},    // right edge
        {2, 2.5f, 6, 6, 3, 2, 128},    // top edge
        {2.5f, 2.5f, 6, 6, 2, 2, 64},  // corner: a quarter
        {2.25f, 2, 6, 6, 2, 3, 191},   // three quarters
        {2.5f, 2, 6, 6, 3, 3, 255},
    };
    for (const auto& c : cases) {
        CImage img = FillRect(c.x0, c.y0, c.x1, c.y1);
        EXPECT_NEAR(img.Alpha(c.px, c.py), c.alpha, 1) << c.x0 << " " << c.y0;
    }
}

TEST(PlayerRaster, CircleCoversItsArea) {
    for (float r : {3.3f, 10.0f, 27.5f}) {
        CImage img = CImage::Blank(64, 64);
        CPath path;
        path.AddCircle(32.2f, 31.7f, r);
        CRasterizer rz;
        rz.Fill(img.Canvas(), path, EFillRule::NonZero, Solid(WHITE), nullptr);
        double area = 3.14159265 * r * r;
        EXPECT_NEAR(img.AlphaSum(), area, area * 0.01) << r;
    }
}

TEST(PlayerRaster, EvenOddLeavesNestedHoleNonZeroFillsIt) {
    CPath path;
    path.AddRect(1, 1, 9, 9);
    path.AddRect(3, 3, 7, 7);  // same direction as the outer one
    for (EFillRule rule : {EFillRule::EvenOdd, EFillRule::NonZero}) {
        CImage img = CImage::Blank(10, 10);
        CRasterizer rz;
        rz.Fill(img.Canvas(), path, rule, Solid(WHITE), nullptr);
        EXPECT_EQ(img.Alpha(2, 2), 255);
        EXPECT_EQ(img.Alpha(5, 5), rule == EFillRule::EvenOdd ? 0 : 255);
    }
}

TEST(PlayerRaster, ShapesOffTheCanvasAreClippedNotWrapped) {
    CImage img = FillRect(-50, -50, 3, 200);
    EXPECT_EQ(img.Alpha(0, 0), 255);
    EXPECT_EQ(img.Alpha(2, 9), 255);
    EXPECT_EQ(img.Alpha(3, 5), 0);
    EXPECT_EQ(img.Alpha(9, 9), 0);
    img = FillRect(8, 2, 1e9f, 4);
    EXPECT_EQ(img.Alpha(9, 2), 255);
    EXPECT_EQ(img.Alpha(7, 2), 0);
    // Non-finite and huge coordinates neither crash nor cover what lies outside the triangle
    // they are pulled into, (0, 3), (1e6, 1e6), (-1e6, 5).
    CPath bad;
    bad.MoveTo(NAN, 3);
    bad.LineTo(INFINITY, 1e30f);
    bad.LineTo(-1e30f, 5);
    bad.Close();
    CImage img2 = CImage::Blank(10, 10);
    CRasterizer rz;
    rz.Fill(img2.Canvas(), bad, EFillRule::NonZero, Solid(WHITE), nullptr);
    EXPECT_EQ(img2.Alpha(9, 0), 0);
    EXPECT_EQ(img2.Alpha(5, 9), 255);
}

TEST(PlayerRaster, TranslucentColourBlendsOverWhatIsThere) {
    CImage img = CImage::Blank(4, 4, 0xff0000ffu);  // opaque blue
    CPath path;
    path.AddRect(0, 0, 4, 4);
    CRasterizer rz;
    rz.Fill(img.Canvas(), path, EFillRule::NonZero, Solid({255, 0, 0, 128}), nullptr);
    CColor c = img.Color(1, 1);
    EXPECT_NEAR(c.r, 128, 2);
    EXPECT_NEAR(c.b, 127, 2);
    EXPECT_EQ(c.a, 255);
}

// Rows of every length up to three blocks of four, with coverage often 0 or 255, against the
// per-channel definition of source-over with rounding to nearest.
TEST(PlayerRaster, CompositingRoundsEachChannelToNearest) {
    std::mt19937 rng(7);
    auto byte = [&] { return uint32_t(rng() % 256); };
    auto pixel = [&] {
        uint32_t a = rng() % 3 == 0 ? 255 : byte();
        uint32_t p = a << 24;
        for (int k = 0; k < 3; ++k) p |= (a ? byte() % (a + 1) : 0) << (8 * k);
        return p;
    };
    auto roundDiv255 = [](uint32_t v) { return (2 * v + 255) / 510; };
    for (int n = 0; n <= 12; ++n) {
        for (int trial = 0; trial < 200; ++trial) {
            std::vector<uint32_t> src(size_t(n) + 1), dst(size_t(n) + 1);
            std::vector<uint8_t> cov(size_t(n) + 1);
            for (int i = 0; i < n; ++i) {
                src[size_t(i)] = pixel();
                dst[size_t(i)] = pixel();
                uint32_t r = rng() % 4;
                cov[size_t(i)] = uint8_t(r == 0 ? 0 : r == 1 ? 255 : byte());
            }
            std::vector<uint32_t> out = dst;
            CompositeRow(out.data(), src.data(), cov.data(), n);
            for (int i = 0; i < n; ++i) {
                uint32_t s[4], expected = 0;
                for (int k = 0; k < 4; ++k) s[k] = roundDiv255(((src[size_t(i)] >> (8 * k)) & 255) * cov[size_t(i)]);
                for (int k = 0; k < 4; ++k)
                    expected |= (s[k] + roundDiv255(((dst[size_t(i)] >> (8 * k)) & 255) * (255 - s[3]))) << (8 * k);
                ASSERT_EQ(expected, out[size_t(i)]) << "n=" << n << " i=" << i;
            }
            ASSERT_EQ(dst[size_t(n)], out[size_t(n)]) << "written past the row";
        }
    }
}

TEST(PlayerRaster, ColourAboveItsAlphaSaturatesWithoutBleeding) {
    for (int n : {1, 4}) {  // one pixel alone and a block of four
        std::vector<uint32_t> src(size_t(n), 0x80FF0000u), dst(size_t(n), 0xFFFFFFFFu);
        std::vector<uint8_t> cov(size_t(n), 255);
        CompositeRow(dst.data(), src.data(), cov.data(), n);
        for (uint32_t p : dst) EXPECT_EQ(0xFFFF7F7Fu, p);
    }
}

CGradient TwoStops(CColor c0, CColor c1, ESpread spread) {
    CGradient g;
    g.stops = {{0, c0}, {255, c1}};
    g.eSpread = spread;
    return g;
}

// A linear gradient whose square spans x = origin..origin + 100 pixels.
CPaint LinearAcross100(const CGradient& g, float origin = 0) {
    CPaint p;
    p.eType = EFillType::Linear;
    p.pGradient = &g;
    p.matrix = CMatrix{100.0f / 32768, 0, 0, 1, 50 + origin, 0};
    return p;
}

TEST(PlayerRaster, LinearGradientEndsAndSpreadModes) {
    const CColor RED{255, 0, 0, 255}, BLUE{0, 0, 255, 255};
    struct {
        ESpread spread;
        int x;
        int red;  // expected red channel
        float origin = 0;
    } cases[] = {
        {ESpread::Pad, 0, 255},    {ESpread::Pad, 99, 0},       {ESpread::Pad, 149, 0},
        {ESpread::Pad, 50, 128},   {ESpread::Repeat, 100, 255}, {ESpread::Repeat, 149, 128},
        {ESpread::Reflect, 100, 0}, {ESpread::Reflect, 199, 255}, {ESpread::Reflect, 150, 128},
        // Left of the gradient's square, where positions are negative.
        {ESpread::Pad, 10, 255, 100}, {ESpread::Repeat, 75, 64, 100}, {ESpread::Reflect, 75, 191, 100},
        {ESpread::Reflect, 0, 3, 100},
    };
    for (const auto& c : cases) {
        CGradient g = TwoStops(RED, BLUE, c.spread);
        CImage img = CImage::Blank(200, 2);
        CPath path;
        path.AddRect(0, 0, 200, 2);
        CRasterizer rz;
        rz.Fill(img.Canvas(), path, EFillRule::NonZero, LinearAcross100(g, c.origin), nullptr);
        CColor px = img.Color(c.x, 0);
        EXPECT_NEAR(px.r, c.red, 4) << int(c.spread) << " x=" << c.x;
        EXPECT_NEAR(px.b, 255 - c.red, 4) << int(c.spread) << " x=" << c.x;
    }
}

TEST(PlayerRaster, LinearRgbInterpolationIsBrighterInTheMiddle) {
    CGradient g = TwoStops({0, 0, 0, 255}, {255, 255, 255, 255}, ESpread::Pad);
    CImage rgb = CImage::Blank(100, 1), linear = CImage::Blank(100, 1);
    CPath path;
    path.AddRect(0, 0, 100, 1);
    CRasterizer rz;
    rz.Fill(rgb.Canvas(), path, EFillRule::NonZero, LinearAcross100(g), nullptr);
    g.bLinearRgb = true;
    rz.Fill(linear.Canvas(), path, EFillRule::NonZero, LinearAcross100(g), nullptr);
    EXPECT_NEAR(rgb.Color(50, 0).r, 128, 3);
    EXPECT_NEAR(linear.Color(50, 0).r, 188, 3);  // sRGB of linear 0.5
}

TEST(PlayerRaster, RadialAndFocalGradientsCentreAndRim) {
    const CColor WHITE_{255, 255, 255, 255}, BLACK{0, 0, 0, 255};
    for (float focal : {0.0f, 0.8f}) {
        CGradient g = TwoStops(WHITE_, BLACK, ESpread::Pad);
        g.fFocal = focal;
        CPaint p;
        p.eType = focal ? EFillType::Focal : EFillType::Radial;
        p.pGradient = &g;
        p.matrix = CMatrix{40.0f / 16384, 0, 0, 40.0f / 16384, 50, 50};  // radius 40 around (50, 50)
        CImage img = CImage::Blank(100, 100);
        CPath path;
        path.AddRect(0, 0, 100, 100);
        CRasterizer rz;
        rz.Fill(img.Canvas(), path, EFillRule::NonZero, p, nullptr);
        int fx = 50 + int(focal * 40) - 1;  // the pixel whose centre is half a pixel from the focus
        EXPECT_GT(img.Color(fx, 50).r, 240) << focal;         // the focal point has the first colour
        EXPECT_LT(img.Color(50, 91).r, 8) << focal;           // the rim the last
        EXPECT_LT(img.Color(2, 2).r, 8) << focal;             // and beyond it, padded
    }
}

TEST(PlayerRaster, StrokeCapsAddTheirArea) {
    struct {
        ECap cap;
        double area;
    } cases[] = {
        {ECap::None, 20 * 4},
        {ECap::Square, 24 * 4},  // half the width beyond each end
        {ECap::Round, 20 * 4 + 3.14159265 * 4},
    };
    for (const auto& c : cases) {
        CPath line;
        line.MoveTo(10, 10);
        line.LineTo(30, 10);
        CStrokeStyle st;
        st.fWidth = 4;
        st.eStartCap = st.eEndCap = c.cap;
        CPath outline;
        StrokePath(line, st, outline);
        CImage img = CImage::Blank(40, 20);
        CRasterizer rz;
        rz.Fill(img.Canvas(), outline, EFillRule::NonZero, Solid(WHITE), nullptr);
        EXPECT_NEAR(img.AlphaSum(), c.area, c.area * 0.02) << int(c.cap);
    }
}

TEST(PlayerRaster, StrokeJoinsFillTheCornerOnlyAsAsked) {
    // A right angle at (20, 20); the outer corner of a miter join is the square corner.
    for (EJoin join : {EJoin::Miter, EJoin::Bevel, EJoin::Round}) {
        CPath line;
        line.MoveTo(5, 20);
        line.LineTo(20, 20);
        line.LineTo(20, 5);
        CStrokeStyle st;
        st.fWidth = 8;
        st.eStartCap = st.eEndCap = ECap::None;
        st.eJoin = join;
        CPath outline;
        StrokePath(line, st, outline);
        CImage img = CImage::Blank(30, 30);
        CRasterizer rz;
        rz.Fill(img.Canvas(), outline, EFillRule::NonZero, Solid(WHITE), nullptr);
        EXPECT_EQ(img.Alpha(18, 18), 255);  // inside the segments
        int corner = img.Alpha(23, 23);     // the outer corner pixel
        if (join == EJoin::Miter) {
            EXPECT_EQ(corner, 255);
        } else if (join == EJoin::Bevel) {
            EXPECT_LT(corner, 40);
        } else {
            EXPECT_LT(corner, 200);
        }
    }
}

TEST(PlayerRaster, ClipMaskLimitsAFill) {
    CCoverageMask mask;
    mask.Reset(10, 10);
    CPath clip;
    clip.AddRect(0, 0, 5, 10);
    CRasterizer rz;
    rz.FillMask(mask, clip, EFillRule::NonZero, nullptr);
    CImage img = CImage::Blank(10, 10);
    CPath path;
    path.AddRect(2, 2, 8, 8);
    rz.Fill(img.Canvas(), path, EFillRule::NonZero, Solid(WHITE), &mask);
    EXPECT_EQ(img.Alpha(3, 3), 255);
    EXPECT_EQ(img.Alpha(6, 3), 0);
    EXPECT_EQ(img.Alpha(1, 3), 0);
}

TEST(PlayerRaster, BitmapFillsNearestSmoothRepeatAndClamp) {
    CBitmap bm;
    bm.nWidth = 2;
    bm.nHeight = 1;
    bm.pixels = {0xffff0000u, 0xff0000ffu};  // red, blue
    struct {
        bool repeat, smooth;
        int x;
        int red;
    } cases[] = {
        {false, false, 1, 255}, {false, false, 6, 0},    // 4x scale: red 0..3, blue 4..7
        {false, false, 12, 0},  {true, false, 9, 255},   // clamped: blue on; repeated: red again
        {false, true, 4, 128},  {false, true, 0, 255},   // smoothed: mixed at the seam
    };
    for (const auto& c : cases) {
        CPaint p;
        p.eType = EFillType::Bitmap;
        p.pBitmap = &bm;
        p.bRepeat = c.repeat;
        p.bSmooth = c.smooth;
        p.matrix = CMatrix::Scale(4, 4);
        CImage img = CImage::Blank(16, 4);
        CPath path;
        path.AddRect(0, 0, 16, 4);
        CRasterizer rz;
        rz.Fill(img.Canvas(), path, EFillRule::NonZero, p, nullptr);
        EXPECT_NEAR(img.Color(c.x, 1).r, c.red, 34) << c.repeat << c.smooth << " x=" << c.x;
    }
}

TEST(PlayerRaster, ColourTransformAppliesToPaint) {
    CPaint p = Solid({200, 100, 50, 255});
    p.cxform.mr = 0.5f;
    p.cxform.ag = 100;
    p.cxform.ma = 0.5f;
    CImage img = CImage::Blank(2, 2);
    CPath path;
    path.AddRect(0, 0, 2, 2);
    CRasterizer rz;
    rz.Fill(img.Canvas(), path, EFillRule::NonZero, p, nullptr);
    CColor c = img.Color(0, 0);
    EXPECT_NEAR(c.r, 100, 2);
    EXPECT_NEAR(c.g, 200, 2);
    EXPECT_NEAR(c.b, 50, 2);
    EXPECT_NEAR(c.a, 128, 1);
}

}  // namespace
