#include "player/core/Movie.h"

#include "player/core/Limits.h"
#include "player/core/SwfReader.h"

namespace player {

namespace {

enum ETag : uint16_t {
    TAG_END = 0, TAG_SHOW_FRAME = 1, TAG_DEFINE_SHAPE = 2, TAG_PLACE_OBJECT = 4,
    TAG_REMOVE_OBJECT = 5, TAG_DEFINE_BITS = 6, TAG_DEFINE_BUTTON = 7, TAG_JPEG_TABLES = 8,
    TAG_SET_BACKGROUND = 9, TAG_DEFINE_FONT = 10, TAG_DEFINE_TEXT = 11, TAG_DO_ACTION = 12,
    TAG_DEFINE_LOSSLESS = 20, TAG_DEFINE_BITS_JPEG2 = 21, TAG_DEFINE_SHAPE2 = 22,
    TAG_PLACE_OBJECT2 = 26, TAG_REMOVE_OBJECT2 = 28, TAG_DEFINE_SHAPE3 = 32, TAG_DEFINE_TEXT2 = 33,
    TAG_DEFINE_BUTTON2 = 34, TAG_DEFINE_BITS_JPEG3 = 35, TAG_DEFINE_LOSSLESS2 = 36,
    TAG_DEFINE_EDIT_TEXT = 37, TAG_DEFINE_SPRITE = 39, TAG_FRAME_LABEL = 43,
    TAG_DEFINE_MORPH_SHAPE = 46, TAG_DEFINE_FONT2 = 48, TAG_DO_INIT_ACTION = 59,
    TAG_PLACE_OBJECT3 = 70, TAG_DEFINE_FONT3 = 75, TAG_DEFINE_SHAPE4 = 83,
    TAG_DEFINE_MORPH_SHAPE2 = 84,
};

// The platform's fonts as the loader hands them on: the characters asked for and the edges
// that come back count against the movie's budgets, so that a movie cannot make the platform
// outline characters without end.
class CBudgetedFonts final : public IDeviceFonts {
public:
    CBudgetedFonts(IDeviceFonts* pFonts, size_t* pEdgeBudget) : m_pFonts(pFonts), m_pEdgeBudget(pEdgeBudget) {}
    bool Available() const { return m_pFonts != nullptr; }

    bool Outline(const std::string& strName, bool bBold, bool bItalic, const std::vector<uint16_t>& codes,
                 CFont& font) override {
        if (!m_pFonts || codes.size() > m_nGlyphsLeft) return false;
        m_nGlyphsLeft -= codes.size();
        CFont outlined;
        outlined.fEmSquare = font.fEmSquare;
        if (!m_pFonts->Outline(strName, bBold, bItalic, codes, outlined)) return false;
        size_t nEdges = 0;
        for (const CShape& g : outlined.glyphs)
            for (const CShapeLayer& layer : g.layers)
                for (const auto& edges : layer.fillEdges) nEdges += edges.size();
        if (outlined.glyphs.size() != codes.size() || outlined.advances.size() != codes.size() ||
            nEdges > *m_pEdgeBudget)
            return false;
        *m_pEdgeBudget -= nEdges;
        font.glyphs = std::move(outlined.glyphs);
        font.advances = std::move(outlined.advances);
        font.fAscent = outlined.fAscent;
        font.fDescent = outlined.fDescent;
        return true;
    }

private:
    IDeviceFonts* m_pFonts;
    size_t* m_pEdgeBudget;
    size_t m_nGlyphsLeft = MAX_DEVICE_GLYPHS;
};

class CMovieLoader {
public:
    CMovieLoader(CMovie& movie, IJpegDecoder* pJpeg, IDeviceFonts* pFonts)
        : m_movie(movie), m_pJpeg(pJpeg), m_fonts(pFonts, &m_nEdgeBudget) {}
    void ReadTimeline(CSwfReader& r, CTimelineDef& timeline, bool bSprite);

private:
    void Define(uint16_t id, CCharacter c) { m_movie.dictionary.emplace(id, std::move(c)); }
    void ReadCharacter(uint16_t code, CSwfReader& r);
    void ReadBitmap(uint16_t code, uint16_t id, CSwfReader& r);
    static void ReadButton(uint16_t code, CSwfReader& r, CTimelineDef& timeline);
    bool ReadPlace(uint16_t code, CSwfReader& r, CPlaceCommand& p);

    CMovie& m_movie;
    IJpegDecoder* m_pJpeg;
    std::vector<uint8_t> m_jpegTables;
    size_t m_nEdgeBudget = MAX_EDGES_PER_MOVIE;
    CBudgetedFonts m_fonts;
    size_t m_nBitmapBudget = MAX_DECODED_BITMAP_BYTES;
    bool m_bBackgroundSet = false;
};

bool CMovieLoader::ReadPlace(uint16_t code, CSwfReader& r, CPlaceCommand& p) {
    if (code == TAG_PLACE_OBJECT) {
        p.bHasCharacter = true;
        p.nCharacterId = r.U16();
        p.nDepth = r.U16();
        p.bHasMatrix = true;
        p.matrix = r.Matrix();
        if (r.Ok() && !r.AtEnd()) {
            p.bHasCxform = true;
            p.cxform = r.ColorTransform(false);
        }
        return r.Ok();
    }
    uint8_t f = r.U8();
    uint8_t f2 = code == TAG_PLACE_OBJECT3 ? r.U8() : 0;
    p.nDepth = r.U16();
    if (f2 & 0x08) r.String();  // class name
    p.bMove = f & 0x01;
    p.bHasCharacter = f & 0x02;
    if (p.bHasCharacter) p.nCharacterId = r.U16();
    p.bHasMatrix = f & 0x04;
    if (p.bHasMatrix) p.matrix = r.Matrix();
    p.bHasCxform = f & 0x08;
    if (p.bHasCxform) p.cxform = r.ColorTransform(true);
    p.bHasRatio = f & 0x10;
    if (p.bHasRatio) p.nRatio = r.U16();
    p.bHasName = f & 0x20;
    if (p.bHasName) p.strName = r.String();
    p.bHasClipDepth = f & 0x40;
    if (p.bHasClipDepth) p.nClipDepth = r.U16();
    // Filters, blend modes and clip actions follow; the player does not use them.
    return r.Ok();
}

// Skips a filter list; false when a filter of unknown size makes the rest unreadable.
static bool SkipFilters(CSwfReader& r) {
    unsigned n = r.U8();
    for (unsigned i = 0; i < n && r.Ok(); ++i) {
        switch (r.U8()) {
        case 0: r.Skip(23); break;  // drop shadow
        case 1: r.Skip(9); break;   // blur
        case 2: r.Skip(15); break;  // glow
        case 3: r.Skip(27); break;  // bevel
        case 4:                     // gradient glow
        case 7:                     // gradient bevel
            r.Skip(size_t(r.U8()) * 5 + 19);
            break;
        case 5: {                   // convolution
            size_t cells = size_t(r.U8());
            cells *= r.U8();
            r.Skip(8 + 4 * cells + 5);
            break;
        }
        case 6: r.Skip(80); break;  // colour matrix
        default: return false;
        }
    }
    return r.Ok();
}

// A button shows the characters of its up state, as it does while no pointer is over it: a
// sprite of one frame that places them. The other states and the actions, which answer the
// pointer, are passed over: the player shows buttons as they stand untouched.
void CMovieLoader::ReadButton(uint16_t code, CSwfReader& r, CTimelineDef& timeline) {
    const bool bButton2 = code == TAG_DEFINE_BUTTON2;
    if (bButton2) {
        r.U8();   // track as menu
        r.U16();  // offset of the actions
    }
    std::vector<CFrameCommand> frame;
    while (r.Ok()) {
        const uint8_t states = r.U8();
        if (states == 0) break;
        CFrameCommand cmd;
        CPlaceCommand& p = cmd.place;
        p.bHasCharacter = true;
        p.nCharacterId = r.U16();
        p.nDepth = r.U16();
        p.bHasMatrix = true;
        p.matrix = r.Matrix();
        if (bButton2) {
            p.bHasCxform = true;
            p.cxform = r.ColorTransform(true);
            if ((states & 0x10) && !SkipFilters(r)) break;
            if (states & 0x20) r.U8();  // blend mode
        }
        if (r.Ok() && (states & 0x01)) frame.push_back(std::move(cmd));
    }
    timeline.frames.push_back(std::move(frame));
}

void CMovieLoader::ReadBitmap(uint16_t code, uint16_t id, CSwfReader& r) {
    auto bm = std::make_shared<CBitmap>();
    bool bOk = false;
    if (code == TAG_DEFINE_LOSSLESS || code == TAG_DEFINE_LOSSLESS2) {
        bOk = DecodeLossless(r, code == TAG_DEFINE_LOSSLESS2, m_nBitmapBudget, *bm);
    } else if (code == TAG_DEFINE_BITS) {
        std::vector<uint8_t> stream =
            JoinJpegStream(m_jpegTables.data(), m_jpegTables.size(), r.Current(), r.Remaining());
        bOk = DecodeJpegImage(m_pJpeg, stream, nullptr, 0, m_nBitmapBudget, *bm);
    } else {
        size_t n = r.Remaining();
        if (code == TAG_DEFINE_BITS_JPEG3) n = r.U32();
        CSwfReader image = r.Sub(n);
        if (!r.Ok()) return;
        std::vector<uint8_t> stream = JoinJpegStream(nullptr, 0, image.Current(), image.Remaining());
        bOk = DecodeJpegImage(m_pJpeg, stream, code == TAG_DEFINE_BITS_JPEG3 ? r.Current() : nullptr,
                              code == TAG_DEFINE_BITS_JPEG3 ? r.Remaining() : 0, m_nBitmapBudget, *bm);
    }
    if (!bOk) return;
    CCharacter c;
    c.eKind = ECharacterKind::Bitmap;
    c.pBitmap = std::move(bm);
    Define(id, std::move(c));
}

void CMovieLoader::ReadCharacter(uint16_t code, CSwfReader& r) {
    uint16_t id = r.U16();
    if (!r.Ok() || m_movie.dictionary.count(id)) return;  // the first definition of an id wins
    CCharacter c;
    switch (code) {
    case TAG_DEFINE_SHAPE:
    case TAG_DEFINE_SHAPE2:
    case TAG_DEFINE_SHAPE3:
    case TAG_DEFINE_SHAPE4: {
        CShapeParseContext ctx;
        ctx.nShapeVersion = code == TAG_DEFINE_SHAPE ? 1 : code == TAG_DEFINE_SHAPE2 ? 2 : code == TAG_DEFINE_SHAPE3 ? 3 : 4;
        ctx.pEdgeBudget = &m_nEdgeBudget;
        auto shape = std::make_shared<CShape>();
        if (!ParseDefineShape(r, ctx, *shape)) return;
        c.eKind = ECharacterKind::Shape;
        c.pShape = std::move(shape);
        break;
    }
    case TAG_DEFINE_MORPH_SHAPE:
    case TAG_DEFINE_MORPH_SHAPE2: {
        auto morph = std::make_shared<CMorphShape>();
        if (!ParseMorphShape(r, code == TAG_DEFINE_MORPH_SHAPE ? 1 : 2, &m_nEdgeBudget, *morph)) return;
        c.eKind = ECharacterKind::Morph;
        c.pMorph = std::move(morph);
        break;
    }
    case TAG_DEFINE_FONT:
    case TAG_DEFINE_FONT2:
    case TAG_DEFINE_FONT3: {
        auto font = std::make_shared<CFont>();
        if (!ParseFont(r, code == TAG_DEFINE_FONT ? 1 : code == TAG_DEFINE_FONT2 ? 2 : 3, &m_nEdgeBudget, *font)) return;
        // A device font names its characters without their outlines: static text in it shows
        // in the platform's font of that name.
        if (m_fonts.Available() && !font->codes.empty() && !font->HasOutlines())
            m_fonts.Outline(font->strName, font->bBold, font->bItalic, font->codes, *font);
        c.eKind = ECharacterKind::Font;
        c.pFont = std::move(font);
        break;
    }
    case TAG_DEFINE_TEXT:
    case TAG_DEFINE_TEXT2:
    case TAG_DEFINE_EDIT_TEXT: {
        auto text = std::make_shared<CText>();
        const bool bOk = code == TAG_DEFINE_EDIT_TEXT ? ParseEditText(r, m_movie.header.nVersion, m_movie, m_fonts.Available() ? &m_fonts : nullptr, *text)
                                                      : ParseText(r, code == TAG_DEFINE_TEXT ? 1 : 2, *text);
        if (!bOk) return;
        c.eKind = ECharacterKind::Text;
        c.pText = std::move(text);
        break;
    }
    case TAG_DEFINE_BUTTON:
    case TAG_DEFINE_BUTTON2: {
        auto button = std::make_shared<CTimelineDef>();
        ReadButton(code, r, *button);
        c.eKind = ECharacterKind::Sprite;
        c.pSprite = std::move(button);
        break;
    }
    case TAG_DEFINE_SPRITE: {
        r.U16();  // the declared frame count; the ShowFrame tags decide
        auto sprite = std::make_shared<CTimelineDef>();
        ReadTimeline(r, *sprite, true);
        c.eKind = ECharacterKind::Sprite;
        c.pSprite = std::move(sprite);
        break;
    }
    default:
        ReadBitmap(code, id, r);
        return;
    }
    Define(id, std::move(c));
}

void CMovieLoader::ReadTimeline(CSwfReader& r, CTimelineDef& timeline, bool bSprite) {
    std::vector<CFrameCommand> pending;
    while (!r.AtEnd() && r.Ok()) {
        uint16_t header = r.U16();
        uint16_t code = header >> 6;
        size_t nLength = header & 0x3f;
        if (nLength == 0x3f) nLength = r.U32();
        if (!r.Ok()) break;
        // A tag claiming more than is left is read as far as it goes.
        if (nLength > r.Remaining()) nLength = r.Remaining();
        CSwfReader tag = r.Sub(nLength);
        if (code == TAG_END) break;
        CFrameCommand cmd;
        switch (code) {
        case TAG_SHOW_FRAME:
            if (timeline.frames.size() < MAX_FRAMES) timeline.frames.push_back(std::move(pending));
            pending.clear();
            break;
        case TAG_PLACE_OBJECT:
        case TAG_PLACE_OBJECT2:
        case TAG_PLACE_OBJECT3:
            if (ReadPlace(code, tag, cmd.place)) pending.push_back(std::move(cmd));
            break;
        case TAG_REMOVE_OBJECT:
        case TAG_REMOVE_OBJECT2:
            if (code == TAG_REMOVE_OBJECT) tag.U16();
            cmd.eKind = CFrameCommand::EKind::Remove;
            cmd.nDepth = tag.U16();
            if (tag.Ok()) pending.push_back(std::move(cmd));
            break;
        case TAG_DO_ACTION:
        case TAG_DO_INIT_ACTION:
            if (code == TAG_DO_INIT_ACTION) tag.U16();  // the sprite it initialises
            cmd.eKind = CFrameCommand::EKind::Actions;
            cmd.bOnce = code == TAG_DO_INIT_ACTION;
            cmd.pScript = std::make_shared<CActionScript>(ParseActions(tag));
            if (!cmd.pScript->empty()) pending.push_back(std::move(cmd));
            break;
        case TAG_FRAME_LABEL: {
            std::string label = tag.String();
            if (tag.Ok()) timeline.labels.emplace(label, uint32_t(timeline.frames.size()));
            break;
        }
        case TAG_SET_BACKGROUND:
            if (!bSprite && !m_bBackgroundSet) {
                m_movie.background = tag.Rgb();
                m_bBackgroundSet = tag.Ok();
            }
            break;
        case TAG_JPEG_TABLES:
            if (!bSprite && m_jpegTables.empty()) m_jpegTables.assign(tag.Current(), tag.Current() + tag.Remaining());
            break;
        case TAG_DEFINE_SHAPE: case TAG_DEFINE_SHAPE2: case TAG_DEFINE_SHAPE3: case TAG_DEFINE_SHAPE4:
        case TAG_DEFINE_MORPH_SHAPE: case TAG_DEFINE_MORPH_SHAPE2:
        case TAG_DEFINE_FONT: case TAG_DEFINE_FONT2: case TAG_DEFINE_FONT3:
        case TAG_DEFINE_TEXT: case TAG_DEFINE_TEXT2: case TAG_DEFINE_EDIT_TEXT:
        case TAG_DEFINE_BITS: case TAG_DEFINE_BITS_JPEG2: case TAG_DEFINE_BITS_JPEG3:
        case TAG_DEFINE_LOSSLESS: case TAG_DEFINE_LOSSLESS2:
        case TAG_DEFINE_SPRITE:
        case TAG_DEFINE_BUTTON: case TAG_DEFINE_BUTTON2:
            // Definitions belong to the movie; inside a sprite they are not allowed.
            if (!bSprite) ReadCharacter(code, tag);
            break;
        default:
            break;
        }
    }
    // A timeline that never shows a frame still shows what it placed.
    if (timeline.frames.empty()) timeline.frames.push_back(std::move(pending));
}

}  // namespace

ELoadError LoadMovie(const uint8_t* pData, size_t nSize, IJpegDecoder* pJpeg, IDeviceFonts* pFonts, CMovie& out) {
    out = CMovie();
    CSwfFile file;
    ELoadError e = DecodeSwfFile(pData, nSize, file);
    if (e != ELoadError::None) return e;
    out.header = file.header;
    CSwfReader r(file.body.data() + file.nTagsOffset, file.body.size() - file.nTagsOffset);
    CMovieLoader loader(out, pJpeg, pFonts);
    loader.ReadTimeline(r, out.root, false);
    return ELoadError::None;
}

}  // namespace player
