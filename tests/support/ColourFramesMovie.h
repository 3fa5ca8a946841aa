// A movie whose every frame fills the whole stage with a colour of its own, so that what is on
// screen tells which frame is shown. Built with the SWF writer; link swfwriter to use it.
#pragma once

#include "SwfWriter.h"

#include <cstdint>
#include <vector>

// colours are 0xRRGGBB, one per frame; the stage is w x h pixels on a black background.
inline std::vector<uint8_t> BuildColourFramesMovie(int w, int h, double fps, const std::vector<uint32_t>& colours,
                                                   bool bCompress = false)
{
    using namespace swfwriter;
    CSwfWriter movie(w, h, fps);
    movie.SetBackground({0, 0, 0, 255});
    std::vector<uint16_t> shapes;
    for (uint32_t rgb : colours) {
        CShapeBuilder s;
        const int fill = s.AddFill(CFillW::SolidColor(
            {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255}));
        s.Rect(0, 0, w * 20, h * 20, fill);
        shapes.push_back(movie.DefineShape(s));
    }
    for (size_t i = 0; i < shapes.size(); ++i) {
        if (i > 0)
            movie.Remove(1);
        movie.Place(1, shapes[i], CMatrixW{});
        movie.ShowFrame();
    }
    return movie.Finish(bCompress);
}
