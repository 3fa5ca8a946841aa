// Text in device fonts drawn with the outlines of the platform's TrueType fonts, as GDI hands
// them out.
#pragma once

#include "player/core/Movie.h"

namespace player {

class CGdiDeviceFonts final : public IDeviceFonts {
public:
    bool Outline(const std::string& strName, bool bBold, bool bItalic, const std::vector<uint16_t>& codes,
                 CFont& font) override;
};

}  // namespace player
