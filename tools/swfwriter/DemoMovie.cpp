#include "DemoMovie.h"

#include <algorithm>
#include <cmath>

#include "SwfWriter.h"

namespace swfwriter {

namespace {

constexpr int WIDTH = 1024, HEIGHT = 768;
constexpr int FRAMES = 120;
constexpr double TAU = 6.283185307179586;
constexpr int32_t CX = WIDTH * 10, CY = HEIGHT * 10;  // stage centre in twips

int32_t Tw(double px) { return int32_t(std::lround(px * 20)); }

CShapeBuilder Background() {
    CShapeBuilder s;
    int fill = s.AddFill(CFillW::Gradient(CFillW::Radial, CMatrixW::GradientBox(CX, CY - Tw(40), Tw(1500), Tw(1500)),
                                          {{0, {38, 56, 140, 255}}, {110, {18, 24, 72, 255}}, {255, {4, 5, 16, 255}}}));
    s.Rect(0, 0, Tw(WIDTH), Tw(HEIGHT), fill);
    return s;
}

// A star of n points between two radii, as straight edges (2n of them).
void Star(CShapeBuilder& s, int n, double rOuter, double rInner, int fill, int line = 0) {
    std::vector<std::pair<int32_t, int32_t>> pts;
    for (int i = 0; i < 2 * n; ++i) {
        double a = TAU * i / (2 * n) - TAU / 4;
        double r = i % 2 ? rInner : rOuter;
        pts.push_back({Tw(r * std::cos(a)), Tw(r * std::sin(a))});
    }
    s.Polygon(pts, fill, line);
}

// A circle as 2n quadratic arcs, so that it pairs edge for edge with an n-pointed star.
void RoundOutline(CShapeBuilder& s, int nEdges, double r, int fill) {
    s.SetStyle(0, fill, 0);
    double a0 = -TAU / 4;
    s.MoveTo(Tw(r * std::cos(a0)), Tw(r * std::sin(a0)));
    double k = 1.0 / std::cos(TAU / (2 * nEdges));
    for (int i = 1; i <= nEdges; ++i) {
        double am = a0 + TAU * (i - 0.5) / nEdges, a1 = a0 + TAU * i / nEdges;
        s.CurveTo(Tw(r * k * std::cos(am)), Tw(r * k * std::sin(am)), Tw(r * std::cos(a1)), Tw(r * std::sin(a1)));
    }
}

uint16_t SunMorph(CSwfWriter& w) {
    CShapeBuilder start, end;
    int f0 = start.AddFill(CFillW::Gradient(CFillW::Radial, CMatrixW::GradientBox(0, 0, Tw(240), Tw(240)),
                                            {{0, {255, 250, 200, 255}}, {120, {255, 170, 40, 255}}, {255, {220, 60, 30, 255}}}));
    int f1 = end.AddFill(CFillW::Gradient(CFillW::Radial, CMatrixW::GradientBox(0, 0, Tw(360), Tw(360)),
                                          {{0, {255, 255, 255, 255}}, {120, {255, 90, 200, 255}}, {255, {110, 40, 200, 255}}}));
    RoundOutline(start, 16, 110, f0);
    Star(end, 8, 175, 80, f1);
    return w.DefineMorphShape(start, end);
}

uint16_t PetalSprite(CSwfWriter& w) {
    CShapeBuilder petal;
    CFillW grad = CFillW::Gradient(CFillW::Linear, CMatrixW::GradientBox(0, 0, Tw(120), Tw(120)),
                                   {{0, {120, 240, 255, 255}}, {255, {40, 90, 230, 230}}});
    int fill = petal.AddFill(grad);
    CLineW edge;
    edge.width = 30;
    edge.color = {230, 250, 255, 200};
    int line = petal.AddLine(edge);
    petal.Ellipse(0, 0, Tw(60), Tw(20), fill, line);
    int dot = petal.AddFill(CFillW::SolidColor({255, 255, 255, 220}));
    petal.Ellipse(Tw(38), 0, Tw(6), Tw(6), dot);
    uint16_t petalId = w.DefineShape(petal, 3);

    // The petal spins on its own timeline, a turn every 40 frames, whatever the main timeline does.
    CTimelineWriter t;
    for (int f = 0; f < 40; ++f) {
        CMatrixW m = CMatrixW::ScaleRotate(1, 1, TAU * f / 40, 0, 0);
        if (f == 0)
            t.Place(1, petalId, m);
        else
            t.Move(1, m);
        t.ShowFrame();
    }
    return w.DefineSprite(t);
}

uint16_t Rings(CSwfWriter& w) {
    CShapeBuilder s;
    CLineW thin;
    thin.width = 50;
    thin.color = {150, 200, 255, 110};
    CLineW wide;
    wide.width = 120;
    wide.color = {120, 160, 255, 50};
    int l1 = s.AddLine(thin);
    int l2 = s.AddLine(wide);
    s.Ellipse(0, 0, Tw(300), Tw(300), 0, l1);
    s.Ellipse(0, 0, Tw(365), Tw(365), 0, l2);
    return w.DefineShape(s, 3);
}

uint16_t Stripes(CSwfWriter& w) {
    CShapeBuilder s;
    int fill = s.AddFill(CFillW::SolidColor({255, 255, 255, 26}));
    for (int i = -12; i < 12; ++i) {
        int32_t x = Tw(i * 60);
        s.Polygon({{x, Tw(-400)}, {x + Tw(24), Tw(-400)}, {x + Tw(24) + Tw(300), Tw(400)}, {x + Tw(300), Tw(400)}}, fill);
    }
    return w.DefineShape(s, 3);
}

uint16_t Disc(CSwfWriter& w, double r) {
    CShapeBuilder s;
    int fill = s.AddFill(CFillW::SolidColor({255, 255, 255, 255}));
    s.Ellipse(0, 0, Tw(r), Tw(r), fill);
    return w.DefineShape(s, 3);
}

uint16_t Sparkle(CSwfWriter& w) {
    CShapeBuilder s;
    int fill = s.AddFill(CFillW::Gradient(CFillW::Radial, CMatrixW::GradientBox(0, 0, Tw(36), Tw(36)),
                                          {{0, {255, 255, 255, 255}}, {255, {180, 220, 255, 0}}}));
    Star(s, 4, 18, 4, fill);
    return w.DefineShape(s, 3);
}

}  // namespace

std::vector<uint8_t> BuildDemoMovie(bool compress) {
    CSwfWriter w(WIDTH, HEIGHT, 30);
    w.SetBackground({4, 5, 16, 255});
    uint16_t bg = w.DefineShape(Background(), 3);
    uint16_t rings = Rings(w);
    uint16_t stripes = Stripes(w);
    uint16_t disc = Disc(w, 330);
    uint16_t sparkle = Sparkle(w);
    uint16_t petal = PetalSprite(w);
    uint16_t sun = SunMorph(w);

    const int nPetals = 8, nSparkles = 18;
    const uint16_t D_BG = 1, D_RINGS = 2, D_MASK = 3, D_STRIPES = 4, D_SPARKLE = 10, D_PETAL = 40, D_SUN = 60;
    // Fixed sparkle positions, spread by the golden angle.
    auto sparklePos = [](int i, double& x, double& y) {
        double a = i * 2.39996323, r = 240 + 130 * std::fmod(i * 0.618034, 1.0);
        x = WIDTH / 2.0 + r * 1.25 * std::cos(a);
        y = HEIGHT / 2.0 + r * 0.95 * std::sin(a);
    };
    for (int f = 0; f < FRAMES; ++f) {
        double t = double(f) / FRAMES;
        bool first = f == 0;
        if (first) {
            w.Place(D_BG, bg, CMatrixW());
            CPlaceW mask;
            mask.depth = D_MASK;
            mask.id = disc;
            mask.hasMatrix = true;
            mask.matrix = CMatrixW::Translate(CX, CY);
            mask.clipDepth = D_STRIPES;
            w.Place(mask);
        }
        // Rings breathe.
        double pulse = 1 + 0.04 * std::sin(TAU * t * 2);
        CPlaceW ringPlace;
        ringPlace.depth = D_RINGS;
        ringPlace.id = first ? rings : 0;
        ringPlace.move = !first;
        ringPlace.hasMatrix = true;
        ringPlace.matrix = CMatrixW::ScaleRotate(pulse, pulse, 0, CX, CY);
        w.Place(ringPlace);
        // Stripes slide by one period per loop, so the loop is seamless.
        CMatrixW sm = CMatrixW::Translate(CX + Tw(60 * t * 2) - Tw(60), CY);
        if (first)
            w.Place(D_STRIPES, stripes, sm);
        else
            w.Move(D_STRIPES, sm);
        for (int i = 0; i < nSparkles; ++i) {
            double x, y;
            sparklePos(i, x, y);
            double phase = std::sin(TAU * (t * 2 + i * 0.137));
            CPlaceW p;
            p.depth = uint16_t(D_SPARKLE + i);
            p.id = first ? sparkle : 0;
            p.move = !first;
            p.hasMatrix = true;
            double k = 0.6 + 0.5 * (phase + 1) / 2;
            p.matrix = CMatrixW::ScaleRotate(k, k, TAU * t * (i % 2 ? 1 : -1), Tw(x), Tw(y));
            p.hasCxform = true;
            p.cxform.ma = 0.25 + 0.75 * (phase + 1) / 2;
            w.Place(p);
        }
        for (int i = 0; i < nPetals; ++i) {
            double a = TAU * (i / double(nPetals) + t / 2);
            CPlaceW p;
            p.depth = uint16_t(D_PETAL + i);
            p.id = first ? petal : 0;
            p.move = !first;
            p.hasMatrix = true;
            p.matrix = CMatrixW::ScaleRotate(1, 1, a, CX + Tw(250 * std::cos(a)), CY + Tw(250 * std::sin(a)));
            if (first) {
                // Each petal gets its own tint.
                p.hasCxform = true;
                double hue = TAU * i / nPetals;
                p.cxform.mr = 0.75 + 0.25 * std::cos(hue);
                p.cxform.mg = 0.75 + 0.25 * std::cos(hue + TAU / 3);
                p.cxform.mb = 0.75 + 0.25 * std::cos(hue + 2 * TAU / 3);
                p.cxform.ar = int(60 * std::max(0.0, std::cos(hue)));
            }
            w.Place(p);
        }
        CPlaceW s;
        s.depth = D_SUN;
        s.id = first ? sun : 0;
        s.move = !first;
        s.hasMatrix = true;
        s.matrix = CMatrixW::ScaleRotate(1, 1, TAU * t / 4, CX, CY);
        s.ratio = int(std::lround((1 - std::cos(TAU * t)) / 2 * 65535));
        w.Place(s);
        w.ShowFrame();
    }
    return w.Finish(compress);
}

}  // namespace swfwriter
