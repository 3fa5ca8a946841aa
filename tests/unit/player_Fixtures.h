#pragma once
// Helpers for the player tests: render a movie built with swfwriter, read pixels back.
#include <cstdint>
#include <string>
#include <vector>

#include "SwfWriter.h"
#include "player/core/Player.h"
#include "player/core/Raster.h"

namespace playertest {

struct CImage {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t At(int x, int y) const { return px[size_t(y) * size_t(w) + size_t(x)]; }
    uint8_t Alpha(int x, int y) const { return uint8_t(At(x, y) >> 24); }
    player::CColor Color(int x, int y) const { return player::Unpremultiply(At(x, y)); }
    player::CCanvas Canvas() { return {px.data(), w, h, w}; }
    static CImage Blank(int w, int h, uint32_t fill = 0) { return {w, h, std::vector<uint32_t>(size_t(w) * size_t(h), fill)}; }
    double AlphaSum() const {
        double s = 0;
        for (uint32_t p : px) s += (p >> 24) / 255.0;
        return s;
    }
};

inline CImage Render(player::CPlayer& p, int w, int h, player::EScaleMode mode = player::EScaleMode::ExactFit) {
    CImage img = CImage::Blank(w, h);
    p.Render(img.px.data(), w, h, w, mode);
    return img;
}

inline void Load(player::CPlayer& p, const swfwriter::CSwfWriter& w, bool compress = false) {
    std::vector<uint8_t> bytes = w.Finish(compress);
    p.Load(bytes.data(), bytes.size());
}

inline swfwriter::CColorW Rgb(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) { return {r, g, b, a}; }

// Where this source's data folder is, whatever the build directory.
inline std::string DataPath(const std::string& name) {
    std::string here = __FILE__;
    return here.substr(0, here.find_last_of("/\\") + 1) + "data/" + name;
}

}  // namespace playertest
