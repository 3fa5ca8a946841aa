#pragma once
// A loaded movie: its header, the dictionary of characters, and the timelines (the main one
// and one per sprite) as lists of frames, each frame the display-list commands and scripts it
// carries. Nothing here changes while the movie plays.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "player/core/Actions.h"
#include "player/core/Bitmap.h"
#include "player/core/Geometry.h"
#include "player/core/Shape.h"
#include "player/core/SwfFile.h"

namespace player {

struct CPlaceCommand {
    uint16_t nDepth = 0;
    bool bMove = false;         // modifies the object at nDepth
    bool bHasCharacter = false;
    uint16_t nCharacterId = 0;
    bool bHasMatrix = false;
    CMatrix matrix;
    bool bHasCxform = false;
    CColorTransform cxform;
    bool bHasRatio = false;
    uint16_t nRatio = 0;
    bool bHasName = false;
    std::string strName;
    bool bHasClipDepth = false;
    uint16_t nClipDepth = 0;
};

struct CFrameCommand {
    enum class EKind : uint8_t { Place, Remove, Actions } eKind = EKind::Place;
    CPlaceCommand place;       // Place
    uint16_t nDepth = 0;       // Remove
    std::shared_ptr<const CActionScript> pScript;  // Actions
    bool bOnce = false;        // DoInitAction: runs the first time its frame is reached only
};

struct CTimelineDef {
    std::vector<std::vector<CFrameCommand>> frames;
    std::map<std::string, uint32_t> labels;  // frame index by label
    size_t FrameCount() const { return frames.size(); }
};

struct CMorphShape {
    CRect rcStart, rcEnd;
    std::vector<CFillStyle> startFills, endFills;
    std::vector<CLineStyle> startLines, endLines;
    std::vector<CShapeRecord> startRecords, endRecords;
};

struct CFont {
    std::vector<CShape> glyphs;
    float fEmSquare = 1024;  // glyph units per text height unit (20480 for DefineFont3)
    // What text fields lay out with (DefineFont2 and 3): each glyph's character code, and,
    // when the font carries its layout, each glyph's advance and the font's ascent and
    // descent, in glyph units.
    std::vector<uint16_t> codes;
    std::vector<float> advances;
    float fAscent = 0, fDescent = 0;
    // The font as the movie names it, for text shown in the platform's font of that name.
    std::string strName;
    bool bBold = false, bItalic = false;

    bool HasOutlines() const;
};

// The platform's fonts, for text in a device font: a font the movie names without carrying
// its outlines.
class IDeviceFonts {
public:
    virtual ~IDeviceFonts() = default;
    // Fills font's glyphs, advances, ascent and descent for codes, in their order, on an em of
    // font.fEmSquare units with y growing downwards, from the platform's font nearest to the
    // name ("_sans", "_serif", "_typewriter" or a family name). A character the font lacks gets
    // an empty glyph. False when there is no font at all; font is then unchanged.
    virtual bool Outline(const std::string& strName, bool bBold, bool bItalic, const std::vector<uint16_t>& codes,
                         CFont& font) = 0;
};

struct CTextGlyph {
    uint32_t nIndex = 0;
    float x = 0;  // twips, in text space
};

struct CTextRun {
    uint16_t nFontId = 0;
    CColor color;
    float fHeight = 0;  // twips
    float y = 0;
    std::vector<CTextGlyph> glyphs;
};

struct CText {
    CRect rcBounds;
    CMatrix matrix;
    std::vector<CTextRun> runs;
    // A text field in a device font draws with outlines of its own, made for its characters;
    // the runs' font ids are then not used.
    std::shared_ptr<const CFont> pOwnFont;
    // A text field's border and background, drawn under its text.
    std::shared_ptr<const CShape> pFrame;
};

enum class ECharacterKind : uint8_t { Shape, Morph, Sprite, Bitmap, Font, Text };

struct CCharacter {
    ECharacterKind eKind = ECharacterKind::Shape;
    std::shared_ptr<const CShape> pShape;
    std::shared_ptr<const CMorphShape> pMorph;
    std::shared_ptr<const CTimelineDef> pSprite;
    std::shared_ptr<const CBitmap> pBitmap;
    std::shared_ptr<const CFont> pFont;
    std::shared_ptr<const CText> pText;
};

struct CMovie {
    CSwfHeader header;
    CColor background{255, 255, 255, 255};
    std::unordered_map<uint16_t, CCharacter> dictionary;
    CTimelineDef root;

    const CCharacter* Find(uint16_t id) const {
        auto it = dictionary.find(id);
        return it == dictionary.end() ? nullptr : &it->second;
    }
};

// Decodes the container and reads every tag. Damaged tags are skipped; only a movie whose
// container or header cannot be read fails.
// A device font's outlines come from pFonts when given; without it, text in device fonts does
// not show.
ELoadError LoadMovie(const uint8_t* pData, size_t nSize, IJpegDecoder* pJpeg, IDeviceFonts* pFonts, CMovie& out);

// Parsers of single character tags, after the character id.
bool ParseMorphShape(CSwfReader& r, int nVersion, size_t* pEdgeBudget, CMorphShape& out);
void MorphToShape(const CMorphShape& morph, float fRatio, CShape& out);
bool ParseFont(CSwfReader& r, int nVersion, size_t* pEdgeBudget, CFont& out);
bool ParseText(CSwfReader& r, int nVersion, CText& out);
// A text field as its initial text lays out in its font; fonts come from the movie read so far.
// nSwfVersion tells how the text is encoded: UTF-8 from version 6, one byte a character before.
bool ParseEditText(CSwfReader& r, int nSwfVersion, const CMovie& movie, IDeviceFonts* pFonts, CText& out);

}  // namespace player
