// A movie of one text field in a device font: the movie names the font ("_sans") and carries
// no outlines, so the field shows only where the player gets outlines from the platform. Built
// with the SWF writer; link swfwriter to use it.
#pragma once

#include "SwfWriter.h"

#include <cstdint>
#include <string>
#include <vector>

// A w x h stage on white with the text in red, glyphs of the given height in pixels.
inline std::vector<uint8_t> BuildDeviceFontFieldMovie(int w, int h, int nTextHeight, const std::string& text)
{
    using namespace swfwriter;
    CSwfWriter movie(w, h, 12);
    movie.SetBackground({255, 255, 255, 255});
    CSwfWriter::CFontLayoutW font;
    font.name = "_sans";
    CSwfWriter::CEditTextW field;
    field.x1 = w * 20;
    field.y1 = h * 20;
    field.font = movie.DefineFont({}, 2, &font);
    field.height = uint16_t(nTextHeight * 20);
    field.color = {255, 0, 0, 255};
    field.text = text;
    movie.Place(1, movie.DefineEditText(field), CMatrixW());
    movie.ShowFrame();
    return movie.Finish();
}
