#include "PlayerVerbs.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DemoMovie.h"
#include "Options.h"
#include "player/core/Player.h"
#include "player/core/Png.h"

namespace {

const char* const kRenderHelp =
    "usage: saverkit render MOVIE --frames N --out FILE.png [--size WxH] [--scale MODE] [--no-loop]\n"
    "Renders the stage as it stands after N frames have run (frame 1 is the first shown).\n"
    "\n"
    "  --frames N      how many frames to run, 1 or more\n"
    "  --out FILE      the PNG to write\n"
    "  --size WxH      the picture's size in pixels (default: the movie's own size)\n"
    "  --scale MODE    show-all (default), no-border, exact-fit or no-scale\n"
    "  --no-loop       stop on the last frame instead of looping, as a saver set not to loop does\n";

const char* const kDemoHelp =
    "usage: saverkit demo OUT.swf [--compressed]\n"
    "Writes the demo movie: 1024 x 768, 30 frames per second, a four-second loop. It is stored\n"
    "uncompressed (FWS), the only form a saver plays.\n"
    "\n"
    "  --compressed    write a zlib-compressed CWS movie instead, for the render verb\n";

int Fail(const char* verb, const std::string& message) {
    std::fprintf(stderr, "saverkit %s: %s\n", verb, message.c_str());
    return 1;
}

bool WantsHelp(int argc, char** argv) {
    for (int i = 0; i < argc; ++i)
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") return true;
    return false;
}

bool ParseSize(const std::string& s, int& w, int& h) {
    size_t x = s.find_first_of("xX");
    if (x == std::string::npos) return false;
    char* end = nullptr;
    long lw = std::strtol(s.c_str(), &end, 10);
    if (end != s.c_str() + x) return false;
    long lh = std::strtol(s.c_str() + x + 1, &end, 10);
    if (*end != 0) return false;
    // Larger pictures than this are no thumbnail and no screen.
    if (lw < 1 || lh < 1 || lw > 16384 || lh > 16384) return false;
    w = int(lw);
    h = int(lh);
    return true;
}

bool ParseScale(const std::string& s, player::EScaleMode& mode) {
    static const struct {
        const char* name;
        player::EScaleMode mode;
    } kModes[] = {{"show-all", player::EScaleMode::ShowAll},
                  {"no-border", player::EScaleMode::NoBorder},
                  {"exact-fit", player::EScaleMode::ExactFit},
                  {"no-scale", player::EScaleMode::NoScale}};
    for (const auto& m : kModes)
        if (s == m.name) {
            mode = m.mode;
            return true;
        }
    return false;
}

}  // namespace

int RunRenderVerb(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fputs(kRenderHelp, stdout);
        return 0;
    }
    COptions opts;
    std::string error;
    if (!opts.Parse(argc, argv, {"frames", "out", "size", "scale"}, {"no-loop"}, error)) {
        std::fputs(kRenderHelp, stderr);
        return Fail("render", error);
    }
    if (opts.m_positional.size() != 1) {
        std::fputs(kRenderHelp, stderr);
        return Fail("render", "name one movie");
    }
    if (!opts.Has("frames") || !opts.Has("out")) {
        std::fputs(kRenderHelp, stderr);
        return Fail("render", "--frames and --out are required");
    }
    char* end = nullptr;
    std::string framesText = opts.Get("frames");
    long nFrames = std::strtol(framesText.c_str(), &end, 10);
    if (framesText.empty() || *end != 0 || nFrames < 1 || nFrames > 1000000)
        return Fail("render", "--frames must be a number from 1 to 1000000");
    player::EScaleMode mode = player::EScaleMode::ShowAll;
    if (opts.Has("scale") && !ParseScale(opts.Get("scale"), mode))
        return Fail("render", "--scale must be show-all, no-border, exact-fit or no-scale");
    std::vector<uint8_t> bytes;
    const std::string moviePath = opts.m_positional[0];
    if (!ReadWholeFile(moviePath, bytes)) return Fail("render", "cannot read " + moviePath);

    player::CPlayer p;
    player::ELoadError e = p.Load(bytes.data(), bytes.size());
    if (e != player::ELoadError::None) return Fail("render", moviePath + ": " + player::DescribeLoadError(e));
    p.SetLoop(!opts.Has("no-loop"));
    for (long i = 1; i < nFrames; ++i) p.Advance();

    int w = p.GetStageWidth(), h = p.GetStageHeight();
    if (opts.Has("size") && !ParseSize(opts.Get("size"), w, h))
        return Fail("render", "--size must be WxH, each from 1 to 16384");
    player::CBitmap image;
    image.nWidth = w;
    image.nHeight = h;
    image.pixels.assign(size_t(w) * size_t(h), 0);
    p.Render(image.pixels.data(), w, h, w, mode);
    const std::string out = opts.Get("out");
    if (!player::WritePngFile(out, image)) return Fail("render", "cannot write " + out);
    return 0;
}

int RunDemoVerb(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fputs(kDemoHelp, stdout);
        return 0;
    }
    COptions opts;
    std::string error;
    if (!opts.Parse(argc, argv, {}, {"compressed"}, error)) {
        std::fputs(kDemoHelp, stderr);
        return Fail("demo", error);
    }
    if (opts.m_positional.size() != 1) {
        std::fputs(kDemoHelp, stderr);
        return Fail("demo", "name the movie to write");
    }
    std::vector<uint8_t> movie = swfwriter::BuildDemoMovie(opts.Has("compressed"));
    const std::string path = opts.m_positional[0];
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return Fail("demo", "cannot write " + path);
    bool bOk = std::fwrite(movie.data(), 1, movie.size(), f) == movie.size();
    if (std::fclose(f) != 0 || !bOk) return Fail("demo", "cannot write " + path);
    return 0;
}
