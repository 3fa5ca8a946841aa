// Frames held against pictures of the same scenes drawn by an independent renderer
// (ImageMagick, from tests/unit/data/player_*.mvg; see make_player_references.sh there).
#include <gtest/gtest.h>

#include "player/core/ImageCompare.h"
#include "player/core/Png.h"
#include "player_Fixtures.h"

using namespace player;
using namespace swfwriter;

namespace {

int32_t Tw(double px) { return int32_t(px * 20 + (px < 0 ? -0.5 : 0.5)); }

// The scene of player_shapes.mvg: a gradient bar, a circle, a translucent triangle, a line.
CSwfWriter ShapesScene() {
    CSwfWriter w(64, 64, 12);
    w.SetBackground({255, 255, 255, 255});
    CShapeBuilder bar;
    bar.Rect(Tw(4), Tw(44), Tw(60), Tw(60),
             bar.AddFill(CFillW::Gradient(CFillW::Linear, CMatrixW::GradientBox(Tw(32), Tw(52), Tw(56), Tw(56)),
                                          {{0, {0, 192, 0, 255}}, {255, {0, 0, 255, 255}}})));
    CShapeBuilder circle;
    circle.Ellipse(Tw(30), Tw(26), Tw(18.5), Tw(18.5), circle.AddFill(CFillW::SolidColor({224, 32, 32, 255})));
    CShapeBuilder tri;
    tri.Polygon({{Tw(40), Tw(6)}, {Tw(60), Tw(38)}, {Tw(36), Tw(30)}}, tri.AddFill(CFillW::SolidColor({32, 32, 128, 153})));
    CShapeBuilder line;
    CLineW ls;
    ls.width = 60;
    ls.startCap = ls.endCap = 1;
    int l = line.AddLine(ls);
    line.SetStyle(0, 0, l);
    line.MoveTo(Tw(6), Tw(6));
    line.LineTo(Tw(26), Tw(40));
    uint16_t depth = 1;
    for (const CShapeBuilder* s : {&bar, &circle, &tri}) w.Place(depth++, w.DefineShape(*s, 3), CMatrixW());
    w.Place(depth, w.DefineShape(line, 4), CMatrixW());
    w.ShowFrame();
    return w;
}

TEST(PlayerReference, ShapesMatchAnIndependentRenderer) {
    CBitmap expected;
    ASSERT_TRUE(ReadPngFile(playertest::DataPath("player_shapes.png"), expected));
    CPlayer p;
    playertest::Load(p, ShapesScene());
    CBitmap actual;
    actual.nWidth = actual.nHeight = 64;
    actual.pixels.assign(64 * 64, 0);
    p.Render(actual.pixels.data(), 64, 64, 64, EScaleMode::NoScale);
    // Interiors agree closely; the two renderers' anti-aliasing differs along edges.
    CImageDiff d = CompareImages(actual, expected, 48);
    EXPECT_LT(d.ShareOff(), 0.02) << d.Describe();
    CImageDiff fine = CompareImages(actual, expected, 8);
    EXPECT_LT(fine.ShareOff(), 0.10) << fine.Describe();
}

}  // namespace
