// Renders a movie whose shapes and gradients cover a 1920 x 1080 stage, one core, and prints
// frames per second, milliseconds per frame and the peak memory. It measures; it never fails
// on a time.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <vector>

#include "DemoMovie.h"
#include "SwfWriter.h"
#include "player/core/Player.h"

using namespace swfwriter;

namespace {

constexpr int W = 1920, H = 1080, FRAMES = 120;
constexpr double TAU = 6.283185307179586;

int32_t Tw(double px) { return int32_t(std::lround(px * 20)); }

// A full-stage linear gradient under twelve translucent radial discs (together about the
// stage's area again) drifting across it, a rotating sprite of a star with a focal gradient and
// a stroke, and a morph: every frame redraws all of it.
std::vector<uint8_t> BuildBenchMovie() {
    CSwfWriter w(W, H, 60);
    CShapeBuilder bg;
    bg.Rect(0, 0, Tw(W), Tw(H),
            bg.AddFill(CFillW::Gradient(CFillW::Linear, CMatrixW::GradientBox(Tw(W / 2), Tw(H / 2), Tw(W), Tw(W), 0.4),
                                        {{0, {20, 30, 90, 255}}, {128, {90, 20, 70, 255}}, {255, {10, 10, 20, 255}}})));
    uint16_t bgId = w.DefineShape(bg, 3);
    CShapeBuilder disc;
    CFillW radial = CFillW::Gradient(CFillW::Radial, CMatrixW::GradientBox(0, 0, Tw(500), Tw(500)),
                                     {{0, {255, 240, 200, 200}}, {160, {255, 120, 60, 120}}, {255, {120, 40, 200, 0}}});
    radial.spread = 1;
    disc.Ellipse(0, 0, Tw(250), Tw(250), disc.AddFill(radial));
    uint16_t discId = w.DefineShape(disc, 3);
    CShapeBuilder star;
    CLineW line;
    line.width = 120;
    line.color = {255, 255, 255, 180};
    line.join = 2;
    std::vector<std::pair<int32_t, int32_t>> pts;
    for (int i = 0; i < 10; ++i) {
        double a = TAU * i / 10, r = i % 2 ? 160 : 400;
        pts.push_back({Tw(r * std::cos(a)), Tw(r * std::sin(a))});
    }
    star.Polygon(pts, star.AddFill(CFillW::Gradient(CFillW::Focal, CMatrixW::GradientBox(0, 0, Tw(800), Tw(800)),
                                                    {{0, {255, 255, 255, 255}}, {255, {40, 160, 255, 255}}})),
                 star.AddLine(line));
    uint16_t starId = w.DefineShape(star, 3);
    CShapeBuilder m0, m1;
    m0.Rect(Tw(-300), Tw(-200), Tw(300), Tw(200), m0.AddFill(CFillW::SolidColor({40, 220, 120, 160})));
    m1.Rect(Tw(-100), Tw(-450), Tw(100), Tw(450), m1.AddFill(CFillW::SolidColor({220, 220, 40, 160})));
    uint16_t morphId = w.DefineMorphShape(m0, m1);
    CTimelineWriter spin;
    for (int f = 0; f < 30; ++f) {
        if (f == 0)
            spin.Place(1, starId, CMatrixW());
        else
            spin.Move(1, CMatrixW::ScaleRotate(1, 1, TAU * f / 30, 0, 0));
        spin.ShowFrame();
    }
    uint16_t spinId = w.DefineSprite(spin);
    for (int f = 0; f < FRAMES; ++f) {
        double t = double(f) / FRAMES;
        if (f == 0) {
            w.Place(1, bgId, CMatrixW());
            w.Place(40, spinId, CMatrixW::Translate(Tw(W / 2), Tw(H / 2)));
        }
        for (int i = 0; i < 12; ++i) {
            double a = TAU * (t + i / 12.0);
            CPlaceW p;
            p.depth = uint16_t(10 + i);
            p.id = f == 0 ? discId : 0;
            p.move = f != 0;
            p.hasMatrix = true;
            p.matrix = CMatrixW::ScaleRotate(1, 1, 0, Tw(W / 2 + 700 * std::cos(a)), Tw(H / 2 + 380 * std::sin(a * 2)));
            w.Place(p);
        }
        CPlaceW mp;
        mp.depth = 30;
        mp.id = f == 0 ? morphId : 0;
        mp.move = f != 0;
        mp.hasMatrix = true;
        mp.matrix = CMatrixW::Translate(Tw(W / 4), Tw(H / 2));
        mp.ratio = int((1 - std::cos(TAU * t)) / 2 * 65535);
        w.Place(mp);
        w.ShowFrame();
    }
    return w.Finish(true);
}

long PeakKiB() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

void Measure(const char* name, const std::vector<uint8_t>& movie, int w, int h, int frames) {
    player::CPlayer p;
    if (p.Load(movie.data(), movie.size()) != player::ELoadError::None) {
        std::fprintf(stderr, "%s: the movie does not load\n", name);
        std::exit(1);
    }
    std::vector<uint32_t> pixels(size_t(w) * size_t(h));
    p.Render(pixels.data(), w, h, w, player::EScaleMode::ExactFit);  // warm-up
    // Wall time, and the process's own CPU time: on a shared machine the second is what one
    // core of this program costs, whatever else runs.
    auto t0 = std::chrono::steady_clock::now();
    std::clock_t c0 = std::clock();
    for (int i = 0; i < frames; ++i) {
        p.Advance();
        p.Render(pixels.data(), w, h, w, player::EScaleMode::ExactFit);
    }
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    double cpuMs = double(std::clock() - c0) * 1000.0 / CLOCKS_PER_SEC;
    std::printf("%-24s %4dx%-4d %4d frames  wall %6.1f fps %6.2f ms/frame  cpu %6.1f fps %6.2f ms/frame\n", name, w, h,
                frames, frames * 1000.0 / ms, ms / frames, frames * 1000.0 / cpuMs, cpuMs / frames);
}

}  // namespace

int main(int argc, char** argv) {
    int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 240;
    Measure("gradients, full HD", BuildBenchMovie(), W, H, frames);
    Measure("demo movie, 1024x768", BuildDemoMovie(), 1024, 768, frames);
    Measure("demo movie, full HD", BuildDemoMovie(), W, H, frames);
    std::printf("peak memory %.1f MiB\n", PeakKiB() / 1024.0);
    return 0;
}
