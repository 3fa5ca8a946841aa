// Text fields. A field is laid out once, from its initial text, into the glyph runs that static
// text draws with: the scripts that would change a field's text are not run, so the initial
// text is all a field shows.
#include <algorithm>
#include <unordered_map>

#include "player/core/Limits.h"
#include "player/core/Movie.h"
#include "player/core/SwfReader.h"

namespace player {

namespace {

constexpr int32_t GUTTER = 40;  // twips between a field's bounds and its text

enum EAlign : uint8_t { ALIGN_LEFT = 0, ALIGN_RIGHT = 1, ALIGN_CENTER = 2 };  // 3, justified, as left

struct CFieldStyle {
    CRect rcBounds;
    uint16_t nFontId = 0;
    float fHeight = 0;
    CColor color{0, 0, 0, 255};
    uint8_t nAlign = ALIGN_LEFT;
    float fLeftMargin = 0, fRightMargin = 0, fIndent = 0, fLeading = 0;
    bool bMultiline = false, bWordWrap = false;
};

// UTF-8 from SWF 6 on, each byte a character before. A malformed sequence gives U+FFFD for
// its first byte and reading goes on after it.
std::u32string Decode(const std::string& s, bool bUtf8) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const uint8_t b = uint8_t(s[i]);
        if (!bUtf8 || b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        const int n = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : -1;
        char32_t c = n == 3 ? b & 0x07 : n == 2 ? b & 0x0F : b & 0x1F;
        bool bOk = n > 0 && i + size_t(n) < s.size();
        for (int k = 1; bOk && k <= n; ++k) {
            const uint8_t cont = uint8_t(s[i + size_t(k)]);
            bOk = (cont & 0xC0) == 0x80;
            c = (c << 6) | (cont & 0x3F);
        }
        out.push_back(bOk ? c : U'\uFFFD');
        i += bOk ? size_t(n) + 1 : 1;
    }
    return out;
}

bool IsAsciiAlpha(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char32_t Entity(const std::u32string& name) {
    static const struct {
        const char* name;
        char32_t c;
    } named[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0}};
    if (name.size() > 1 && name[0] == '#') {
        const bool bHex = name[1] == 'x' || name[1] == 'X';
        uint32_t v = 0;
        for (size_t i = bHex ? 2 : 1; i < name.size(); ++i) {
            const char32_t d = name[i];
            uint32_t digit = d >= '0' && d <= '9' ? d - '0'
                           : bHex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                           : bHex && d >= 'A' && d <= 'F' ? d - 'A' + 10 : 99;
            if (digit >= (bHex ? 16u : 10u) || v > 0x10FFFF) return 0;
            v = v * (bHex ? 16 : 10) + digit;
        }
        return v <= 0x10FFFF ? v : 0;
    }
    for (const auto& e : named)
        if (name == std::u32string(e.name, e.name + std::char_traits<char>::length(e.name))) return e.c;
    return 0;
}

// The colour a <font> tag's color attribute gives ("#RRGGBB"), or the current one.
CColor FontTagColor(const std::u32string& tag, CColor current) {
    std::u32string lower;
    for (char32_t c : tag) lower.push_back(IsAsciiAlpha(c) ? c | 0x20 : c);
    const size_t at = lower.find(U"color");
    const size_t hash = at == std::u32string::npos ? at : lower.find('#', at);
    if (hash == std::u32string::npos || hash + 7 > lower.size()) return current;
    uint32_t rgb = 0;
    for (size_t i = hash + 1; i < hash + 7; ++i) {
        const char32_t d = lower[i];
        if (!((d >= '0' && d <= '9') || (d >= 'a' && d <= 'f'))) return current;
        rgb = rgb * 16 + uint32_t(d <= '9' ? d - '0' : d - 'a' + 10);
    }
    return {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), current.a};
}

// HTML text as plain text with a colour per character: tags dropped, <br> and the end of a
// paragraph as line breaks, <font color> for the text it encloses, entities decoded; an
// unknown entity stays as written.
std::u32string StripHtml(const std::u32string& s, CColor base, std::vector<CColor>& colors) {
    std::u32string out;
    std::vector<CColor> stack{base};
    auto put = [&](char32_t c) {
        out.push_back(c);
        colors.push_back(stack.back());
    };
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '<') {
            const size_t end = s.find('>', i);
            if (end == std::u32string::npos) break;
            std::u32string name;
            for (size_t k = i + 1; k < end && (IsAsciiAlpha(s[k]) || (k == i + 1 && s[k] == '/')); ++k)
                name.push_back(s[k] | (IsAsciiAlpha(s[k]) ? 0x20 : 0));
            if (name == U"br" || name == U"/p") put('\n');
            if (name == U"font" && stack.size() < 64) stack.push_back(FontTagColor(s.substr(i, end - i), stack.back()));
            if (name == U"/font" && stack.size() > 1) stack.pop_back();
            i = end;
        } else if (s[i] == '&') {
            // Entities are short: the search for their end stops soon, so that a text of
            // ampersands costs no more than its length.
            const size_t end = s.substr(i, 11).find(';');
            const char32_t c = end != std::u32string::npos ? Entity(s.substr(i + 1, end - 1)) : 0;
            if (c) {
                put(c);
                i += end;
            } else {
                put('&');
            }
        } else {
            put(s[i]);
        }
    }
    return out;
}

struct CItem {
    uint32_t nGlyph;   // or NO_GLYPH for a character the font lacks
    float fAdvance;
    bool bSpace;
    CColor color;
};
constexpr uint32_t NO_GLYPH = 0xFFFFFFFFu;

class CLayout {
public:
    CLayout(const CFieldStyle& st, const CFont& font, CText& out) : m_st(st), m_font(font), m_out(out) {
        m_k = st.fHeight / font.fEmSquare;
        for (size_t i = 0; i < font.codes.size() && i < font.advances.size(); ++i)
            m_glyphs.emplace(font.codes[i], uint32_t(i));
        m_fAscent = font.fAscent * m_k;
        m_fLineHeight = m_fAscent + font.fDescent * m_k + st.fLeading;
        m_fLeft = float(st.rcBounds.xMin + GUTTER) + st.fLeftMargin;
        m_fRight = float(st.rcBounds.xMax - GUTTER) - st.fRightMargin;
        m_fBaseline = float(st.rcBounds.yMin + GUTTER) + m_fAscent;
    }

    // One paragraph, with a colour per character; false once the field is full.
    bool Paragraph(const char32_t* text, const CColor* colors, size_t n) {
        std::vector<CItem> line;
        float width = 0;
        size_t breakAt = 0;  // items up to here end in a space: the line may end there
        bool bFirst = true;
        for (size_t i = 0; i < n; ++i) {
            CItem item = ItemFor(text[i]);
            item.color = colors[i];
            const float avail = m_fRight - m_fLeft - (bFirst ? m_st.fIndent : 0);
            if (m_st.bMultiline && m_st.bWordWrap && !item.bSpace && breakAt > 0 && width + item.fAdvance > avail) {
                if (!EmitLine(line.data(), breakAt, bFirst)) return false;
                line.erase(line.begin(), line.begin() + long(breakAt));
                width = 0;
                for (const CItem& it : line) width += it.fAdvance;
                breakAt = 0;
                bFirst = false;
            }
            line.push_back(item);
            width += item.fAdvance;
            if (item.bSpace) breakAt = line.size();
        }
        return EmitLine(line.data(), line.size(), bFirst);
    }

private:
    CItem ItemFor(char32_t c) const {
        const bool bSpace = c == ' ' || c == '\t' || c == 0xA0;
        auto it = c <= 0xFFFF ? m_glyphs.find(uint16_t(c)) : m_glyphs.end();
        if (it != m_glyphs.end()) return {it->second, m_font.advances[it->second] * m_k, bSpace, {}};
        // A space the font leaves out still separates words.
        return {NO_GLYPH, bSpace ? m_st.fHeight / 4 : 0.0f, bSpace, {}};
    }

    bool EmitLine(const CItem* items, size_t n, bool bFirst) {
        if (m_fBaseline - m_fAscent >= float(m_st.rcBounds.yMax)) return false;  // below the field
        float width = 0, trailing = 0;
        for (size_t i = 0; i < n; ++i) {
            width += items[i].fAdvance;
            trailing = items[i].bSpace ? trailing + items[i].fAdvance : 0;
        }
        width -= trailing;
        const float left = m_fLeft + (bFirst ? m_st.fIndent : 0);
        float x = m_st.nAlign == ALIGN_RIGHT    ? m_fRight - width
                : m_st.nAlign == ALIGN_CENTER ? left + (m_fRight - left - width) / 2
                                              : left;
        // One run per stretch of one colour.
        CTextRun run;
        run.nFontId = m_st.nFontId;
        run.fHeight = m_st.fHeight;
        run.y = m_fBaseline;
        for (size_t i = 0; i < n; ++i) {
            if (items[i].nGlyph != NO_GLYPH && m_nGlyphs < MAX_GLYPHS_PER_TEXT) {
                if (!run.glyphs.empty() && !(items[i].color == run.color)) {
                    m_out.runs.push_back(run);
                    run.glyphs.clear();
                }
                run.color = items[i].color;
                run.glyphs.push_back({items[i].nGlyph, x});
                ++m_nGlyphs;
            }
            x += items[i].fAdvance;
        }
        if (!run.glyphs.empty()) m_out.runs.push_back(std::move(run));
        m_fBaseline += m_fLineHeight;
        return m_fLineHeight > 0;
    }

    const CFieldStyle& m_st;
    const CFont& m_font;
    CText& m_out;
    std::unordered_map<uint16_t, uint32_t> m_glyphs;
    float m_k = 0, m_fAscent = 0, m_fLineHeight = 0, m_fLeft = 0, m_fRight = 0, m_fBaseline = 0;
    size_t m_nGlyphs = 0;
};

std::vector<CSegment> RectOutline(float x0, float y0, float x1, float y1) {
    return {{x0, y0, 0, 0, x1, y0, false},
            {x1, y0, 0, 0, x1, y1, false},
            {x1, y1, 0, 0, x0, y1, false},
            {x0, y1, 0, 0, x0, y0, false}};
}

// A bordered field: a white background inside a black hairline, as Flash Player draws it. The
// hairline runs half a pixel inside the bounds, so that at the movie's own size it covers the
// outermost pixels of the field whole.
std::shared_ptr<const CShape> FrameShape(const CRect& rc) {
    const float x0 = float(rc.xMin), y0 = float(rc.yMin), x1 = float(rc.xMax), y1 = float(rc.yMax);
    const float h = TWIPS_PER_PIXEL / 2;
    auto frame = std::make_shared<CShape>();
    frame->rcBounds = rc;
    CShapeLayer layer;
    CFillStyle white;
    white.color = {255, 255, 255, 255};
    layer.fills.push_back(white);
    layer.fillEdges.push_back(RectOutline(x0, y0, x1, y1));
    CLineStyle hairline;
    hairline.fWidth = 0;
    hairline.color = {0, 0, 0, 255};
    layer.lines.push_back(hairline);
    layer.linePaths.push_back({0, RectOutline(x0 + h, y0 + h, x1 - h, y1 - h)});
    frame->layers.push_back(std::move(layer));
    return frame;
}

}  // namespace

bool ParseEditText(CSwfReader& r, int nSwfVersion, const CMovie& movie, IDeviceFonts* pFonts, CText& out) {
    CFieldStyle st;
    st.rcBounds = r.Rect();
    const uint8_t f1 = r.U8(), f2 = r.U8();
    const bool bHasText = f1 & 0x80, bPassword = f1 & 0x10, bHasFont = f1 & 0x01;
    const bool bHtml = f2 & 0x02, bHasFontClass = f2 & 0x80, bBorder = f2 & 0x08;
    st.bWordWrap = f1 & 0x40;
    st.bMultiline = f1 & 0x20;
    if (bHasFont) st.nFontId = r.U16();
    if (bHasFontClass) r.String();
    if (bHasFont || bHasFontClass) st.fHeight = r.U16();
    if (f1 & 0x04) st.color = r.Rgba();
    size_t nMaxLength = (f1 & 0x02) ? r.U16() : 0;
    if (f2 & 0x20) {
        st.nAlign = r.U8();
        st.fLeftMargin = r.U16();
        st.fRightMargin = r.U16();
        st.fIndent = r.U16();
        st.fLeading = r.S16();
    }
    r.String();  // the variable the field shows
    const std::string initial = bHasText ? r.String() : std::string();
    if (!r.Ok()) return false;
    out.rcBounds = st.rcBounds;
    if (bBorder) out.pFrame = FrameShape(st.rcBounds);

    const CCharacter* pChar = movie.Find(st.nFontId);
    if (!pChar || pChar->eKind != ECharacterKind::Font) return true;
    std::u32string text = Decode(initial, nSwfVersion >= 6);
    std::vector<CColor> colors;
    if (bHtml) text = StripHtml(text, st.color, colors);
    colors.resize(text.size(), st.color);
    if (nMaxLength && text.size() > nMaxLength) text.resize(nMaxLength);
    if (bPassword) text.assign(text.size(), '*');

    const CFont* pFont = pChar->pFont.get();
    if (!pFont->HasOutlines()) {
        // A device font: outlines of the platform's font for the characters of this text.
        if (!pFonts) return true;
        std::vector<uint16_t> codes;
        for (char32_t c : text)
            if (c <= 0xFFFF && c != '\r' && c != '\n') codes.push_back(uint16_t(c));
        std::sort(codes.begin(), codes.end());
        codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
        auto own = std::make_shared<CFont>();
        if (!pFonts->Outline(pFont->strName, pFont->bBold, pFont->bItalic, codes, *own)) return true;
        own->codes = std::move(codes);
        out.pOwnFont = own;
        pFont = own.get();
    }
    // A font without its layout cannot place characters.
    if (pFont->advances.empty()) return true;

    CLayout layout(st, *pFont, out);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(U"\r\n", start);
        if (end == std::u32string::npos) end = text.size();
        if (!layout.Paragraph(text.data() + start, colors.data() + start, end - start) || !st.bMultiline) break;
        // "\r\n" is one line break.
        start = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
    }
    return true;
}

}  // namespace player
