#pragma once
// Builds SWF movies in code: shapes, morphs, sprites, bitmaps, fonts and text, frame scripts,
// and the timeline commands that place them. Coordinates are twips (1/20 pixel) unless a
// name says otherwise. Used for test fixtures and for the demo movie.
#include <cstdint>
#include <string>
#include <vector>

namespace swfwriter {

class CBitWriter {
public:
    void UB(uint32_t v, unsigned nBits);
    void SB(int32_t v, unsigned nBits) { UB(uint32_t(v), nBits); }
    void Align();
    void U8(uint8_t v);
    void U16(uint16_t v);
    void U32(uint32_t v);
    void Bytes(const std::vector<uint8_t>& v);
    void String(const std::string& s);  // NUL-terminated
    std::vector<uint8_t>& Data() { Align(); return m_data; }

    static unsigned SignedBits(int32_t v);
    static unsigned UnsignedBits(uint32_t v);

private:
    std::vector<uint8_t> m_data;
    uint8_t m_nByte = 0;
    unsigned m_nBits = 0;
};

struct CMatrixW {
    double a = 1, b = 0, c = 0, d = 1;
    int32_t tx = 0, ty = 0;  // twips
    static CMatrixW Translate(int32_t x, int32_t y) { return {1, 0, 0, 1, x, y}; }
    static CMatrixW ScaleRotate(double sx, double sy, double radians, int32_t x, int32_t y);
    // Maps the gradient square (-16384..16384) onto a w x h box centred at (cx, cy), turned by radians.
    static CMatrixW GradientBox(int32_t cx, int32_t cy, int32_t w, int32_t h, double radians = 0);
};

struct CColorW {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

struct CCxformW {
    double mr = 1, mg = 1, mb = 1, ma = 1;
    int ar = 0, ag = 0, ab = 0, aa = 0;
};

struct CStopW {
    uint8_t ratio;
    CColorW color;
};

struct CFillW {
    enum EType : uint8_t { Solid = 0x00, Linear = 0x10, Radial = 0x12, Focal = 0x13,
                           BitmapRepeat = 0x40, BitmapClip = 0x41, BitmapRepeatHard = 0x42, BitmapClipHard = 0x43 };
    EType type = Solid;
    CColorW color;
    CMatrixW matrix;
    std::vector<CStopW> stops;
    uint8_t spread = 0;         // 0 pad, 1 reflect, 2 repeat
    bool linearRgb = false;
    double focal = 0;
    uint16_t bitmapId = 0;

    static CFillW SolidColor(CColorW c);
    static CFillW Gradient(EType t, const CMatrixW& m, std::vector<CStopW> stops);
    static CFillW Bitmap(uint16_t id, const CMatrixW& m, EType t = BitmapClip);
};

struct CLineW {
    uint16_t width = 20;
    CColorW color;
    uint8_t startCap = 0, endCap = 0;  // 0 round, 1 none, 2 square
    uint8_t join = 0;                  // 0 round, 1 bevel, 2 miter
    double miterLimit = 3;
    bool hasFill = false;
    CFillW fill;
};

// Outline records; styles are 1-based indices into the fills and lines added, 0 for none.
class CShapeBuilder {
public:
    int AddFill(const CFillW& f);
    int AddLine(const CLineW& l);
    void SetStyle(int fill0, int fill1, int line);
    void MoveTo(int32_t x, int32_t y);
    void LineTo(int32_t x, int32_t y);
    void CurveTo(int32_t cx, int32_t cy, int32_t x, int32_t y);
    // Closed outlines, drawn with fill style 1 on their right-hand side (clockwise on screen).
    void Rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int fill, int line = 0);
    void Ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry, int fill, int line = 0);
    void Polygon(const std::vector<std::pair<int32_t, int32_t>>& pts, int fill, int line = 0);

    struct CRecord {
        enum EKind : uint8_t { Style, Move, Line, Curve } kind;
        int32_t a, b, c, d;  // style: fill0, fill1, line; move/line: x, y; curve: cx, cy, x, y
    };
    const std::vector<CFillW>& Fills() const { return m_fills; }
    const std::vector<CLineW>& Lines() const { return m_lines; }
    const std::vector<CRecord>& Records() const { return m_records; }
    void Bounds(int32_t& x0, int32_t& y0, int32_t& x1, int32_t& y1) const;

private:
    std::vector<CFillW> m_fills;
    std::vector<CLineW> m_lines;
    std::vector<CRecord> m_records;
};

class CActionWriter {
public:
    CActionWriter& Stop() { return Op(0x07); }
    CActionWriter& Play() { return Op(0x06); }
    CActionWriter& NextFrame() { return Op(0x04); }
    CActionWriter& PrevFrame() { return Op(0x05); }
    CActionWriter& GotoFrame(uint16_t frame0);
    CActionWriter& GotoLabel(const std::string& label);
    CActionWriter& PushNumber(double v);
    CActionWriter& PushString(const std::string& s);
    CActionWriter& GotoFrame2(bool play);
    CActionWriter& SetTarget(const std::string& path);
    CActionWriter& Jump(int16_t offset);
    CActionWriter& If(int16_t offset);
    CActionWriter& PushRegister(uint8_t reg);
    CActionWriter& StoreRegister(uint8_t reg);
    // DefineFunction: a named function without parameters whose body is body's actions.
    CActionWriter& DefineFunction(const std::string& name, const CActionWriter& body);
    CActionWriter& Raw(uint8_t code, const std::vector<uint8_t>& data);
    CActionWriter& Op(uint8_t code);
    std::vector<uint8_t> Bytes() const;  // with the end action

private:
    std::vector<uint8_t> m_data;
};

struct CPlaceW {
    uint16_t depth = 1;
    uint16_t id = 0;            // 0: none (a move)
    bool move = false;
    bool hasMatrix = false;
    CMatrixW matrix;
    bool hasCxform = false;
    CCxformW cxform;
    int ratio = -1;             // -1: none
    uint16_t clipDepth = 0;
    std::string name;
};

// Tags of one timeline: the main movie's or a sprite's.
class CTimelineWriter {
public:
    void Place(const CPlaceW& p, int version = 2);  // PlaceObject2 (or 3)
    void Place(uint16_t depth, uint16_t id, const CMatrixW& m);
    void PlaceObject1(uint16_t depth, uint16_t id, const CMatrixW& m);
    void Move(uint16_t depth, const CMatrixW& m);
    void Remove(uint16_t depth);       // RemoveObject2
    void RemoveObject1(uint16_t id, uint16_t depth);
    void DoAction(const CActionWriter& a);
    void FrameLabel(const std::string& label);
    void ShowFrame();
    void Tag(uint16_t code, const std::vector<uint8_t>& body);
    uint16_t Frames() const { return m_nFrames; }
    const std::vector<uint8_t>& TagBytes() const { return m_tags; }

protected:
    std::vector<uint8_t> m_tags;
    uint16_t m_nFrames = 0;
};

class CSwfWriter : public CTimelineWriter {
public:
    CSwfWriter(int widthPx, int heightPx, double fps, uint8_t version = 10);

    void SetBackground(CColorW c);
    uint16_t DefineShape(const CShapeBuilder& s, int version = 3);
    uint16_t DefineMorphShape(const CShapeBuilder& start, const CShapeBuilder& end, int version = 1);
    uint16_t DefineSprite(const CTimelineWriter& t);
    // Pixels are straight-alpha RGBA, rows top down.
    uint16_t DefineBitsLossless(int w, int h, const std::vector<uint8_t>& rgba, bool alpha);
    uint16_t DefineBitsLosslessPalette(int w, int h, const std::vector<CColorW>& palette,
                                       const std::vector<uint8_t>& indices, bool alpha);
    uint16_t DefineBitsJpeg2(const std::vector<uint8_t>& jpeg);
    uint16_t DefineBitsJpeg3(const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& alpha);
    void JpegTables(const std::vector<uint8_t>& tables);
    uint16_t DefineBits(const std::vector<uint8_t>& image);
    // A font's codes, and what text fields lay it out with: an advance per glyph, in glyph
    // units, ascent and descent (written when there are advances). A font whose glyphs are
    // empty names a device font.
    struct CFontLayoutW {
        std::vector<uint16_t> codes;
        std::vector<int16_t> advances;
        uint16_t ascent = 0, descent = 0;
        std::string name = "Demo";
        bool bold = false, italic = false;
    };
    // Glyphs on the font's EM square (1024 units; 20480 for version 3), filled by style 1.
    // Without a layout, versions 2 and 3 give the glyphs the codes 'A', 'B', ...
    uint16_t DefineFont(const std::vector<CShapeBuilder>& glyphs, int version = 2,
                        const CFontLayoutW* layout = nullptr);
    struct CEditTextW {
        int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // bounds, twips
        uint16_t font = 0, height = 0;
        CColorW color{0, 0, 0, 255};
        bool multiline = false, wordWrap = false, html = false, password = false, border = false;
        uint8_t align = 0;  // 0 left, 1 right, 2 centre
        uint16_t leftMargin = 0, rightMargin = 0, indent = 0;
        int16_t leading = 0;
        std::string text;  // as stored: UTF-8 from SWF 6 on
    };
    uint16_t DefineEditText(const CEditTextW& t);
    struct CGlyphW {
        uint16_t index;
        int32_t advance;
    };
    uint16_t DefineText(uint16_t font, int32_t height, CColorW color, int32_t x, int32_t y,
                        const std::vector<CGlyphW>& glyphs, int version = 1);
    // A button's character records; states are the format's bits: 1 up, 2 over, 4 down, 8 hit.
    struct CButtonRecordW {
        uint8_t states;
        uint16_t id;
        uint16_t depth;
        CMatrixW matrix;
        CCxformW cxform;  // written by version 2 only, as are the two below
        std::vector<uint8_t> filterList;  // raw, with states bit 0x10
        uint8_t blendMode = 0;            // with states bit 0x20
    };
    // DefineButton (version 1) or DefineButton2, with an action on release after the records.
    uint16_t DefineButton(const std::vector<CButtonRecordW>& records, int version = 2);
    // The file: "FWS", or "CWS" with the body compressed.
    std::vector<uint8_t> Finish(bool compress = false) const;
    bool Save(const std::string& path, bool compress = false) const;

    uint16_t NextId() const { return m_nNextId; }

private:
    int m_nWidth, m_nHeight;
    double m_fFps;
    uint8_t m_nVersion;
    uint16_t m_nNextId = 1;
};

}  // namespace swfwriter
