// Any bytes as a movie: load, play a few frames with and without loop, render small. Device
// fonts come from a stand-in that gives every character a square, so text in them is laid out
// and drawn too.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/core/Player.h"

namespace {

class CSquareFonts : public player::IDeviceFonts {
public:
    bool Outline(const std::string&, bool, bool, const std::vector<uint16_t>& codes, player::CFont& font) override {
        const float em = font.fEmSquare;
        player::CShapeLayer square;
        square.fillEdges.push_back({{0, -em, 0, 0, em, -em, false},
                                    {em, -em, 0, 0, em, 0, false},
                                    {em, 0, 0, 0, 0, 0, false},
                                    {0, 0, 0, 0, 0, -em, false}});
        player::CShape glyph;
        glyph.layers.push_back(square);
        font.glyphs.assign(codes.size(), glyph);
        font.advances.assign(codes.size(), em);
        font.fAscent = em * 0.8f;
        font.fDescent = em * 0.2f;
        return true;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CSquareFonts fonts;
    player::CPlayer p(player::DefaultJpegDecoder(), &fonts);
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
