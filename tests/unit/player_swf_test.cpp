// Reading movies: the container, the header, and the character tags, with fixtures built by
// swfwriter and rendered through the player.
#include <gtest/gtest.h>

#include <jpeglib.h>

#include <cstring>

#include "player/core/ImageCompare.h"
#include "player/core/Movie.h"
#include "player/core/SwfReader.h"
#include "player_Fixtures.h"

using namespace player;
using namespace swfwriter;
using playertest::CImage;
using playertest::Rgb;

namespace {

CSwfWriter RedSquareMovie() {
    CSwfWriter w(40, 30, 24.5);
    w.SetBackground(Rgb(0, 0, 255));
    CShapeBuilder s;
    int f = s.AddFill(CFillW::SolidColor(Rgb(255, 0, 0)));
    s.Rect(200, 200, 400, 400, f);  // pixels 10..20
    uint16_t id = w.DefineShape(s, 1);
    w.Place(1, id, CMatrixW());
    w.ShowFrame();
    w.ShowFrame();
    return w;
}

TEST(PlayerSwf, HeaderOfPlainAndCompressedMovies) {
    for (bool compress : {false, true}) {
        std::vector<uint8_t> bytes = RedSquareMovie().Finish(compress);
        CMovie m;
        ASSERT_EQ(LoadMovie(bytes.data(), bytes.size(), nullptr, nullptr, m), ELoadError::None);
        EXPECT_EQ(m.header.rcFrame.Width(), 800);
        EXPECT_EQ(m.header.rcFrame.Height(), 600);
        EXPECT_FLOAT_EQ(m.header.fFrameRate, 24.5f);
        EXPECT_EQ(m.header.nFrameCount, 2);
        EXPECT_EQ(m.root.FrameCount(), 2u);
        EXPECT_EQ(m.background, (CColor{0, 0, 255, 255}));
    }
}

TEST(PlayerSwf, ContainerFailuresAreReported) {
    std::vector<uint8_t> good = RedSquareMovie().Finish(true);
    std::vector<uint8_t> zws = good;
    zws[0] = 'Z';
    std::vector<uint8_t> garbage = good;
    garbage[10] ^= 0xff;  // inside the zlib header and first block
    garbage[11] ^= 0xff;
    std::vector<uint8_t> huge = good;
    huge[7] = 0x7f;       // declares 2 GiB
    struct {
        const char* name;
        std::vector<uint8_t> bytes;
        ELoadError expected;
    } cases[] = {
        {"empty", {}, ELoadError::Empty},
        {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}, ELoadError::NotSwf},
        {"short", {'F', 'W', 'S'}, ELoadError::NotSwf},
        {"lzma", zws, ELoadError::UnsupportedCompression},
        {"damaged zlib", garbage, ELoadError::Corrupt},
        {"declared too large", huge, ELoadError::TooLarge},
        {"header cut", {'F', 'W', 'S', 10, 9, 0, 0, 0, 0x78}, ELoadError::Corrupt},
    };
    for (const auto& c : cases) {
        CPlayer p;
        EXPECT_EQ(p.Load(c.bytes.data(), c.bytes.size()), c.expected) << c.name;
        EXPECT_FALSE(p.IsLoaded()) << c.name;
        EXPECT_STRNE(DescribeLoadError(c.expected), "") << c.name;
    }
}

TEST(PlayerSwf, TruncatedCompressedMovieKeepsWhatArrived) {
    std::vector<uint8_t> bytes = RedSquareMovie().Finish(true);
    bytes.resize(bytes.size() - 6);
    CPlayer p;
    ASSERT_EQ(p.Load(bytes.data(), bytes.size()), ELoadError::None);
    CImage img = playertest::Render(p, 40, 30);
    EXPECT_EQ(img.Color(15, 15), (CColor{255, 0, 0, 255}));
}

TEST(PlayerSwf, UnknownTagsAndOverlongLengthsAreSkipped) {
    CSwfWriter w = RedSquareMovie();
    w.Tag(777, {1, 2, 3, 4, 5});
    w.Tag(56, std::vector<uint8_t>(100, 0xee));  // long form header
    w.ShowFrame();
    std::vector<uint8_t> bytes = w.Finish();
    // A last tag that claims more than the file holds.
    bytes.insert(bytes.end() - 2, {0x3f, 0x03, 0xff, 0xff, 0xff, 0x7f});
    CPlayer p;
    ASSERT_EQ(p.Load(bytes.data(), bytes.size()), ELoadError::None);
    EXPECT_EQ(p.GetFrameCount(), 3u);
}

TEST(PlayerSwf, ReaderFailsAtTheEndAndStaysFailed) {
    const uint8_t data[] = {0x01, 0x02, 0xff};
    CSwfReader r(data, sizeof data);
    EXPECT_EQ(r.U16(), 0x0201);
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.U16(), 0);
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.U8(), 0);  // even though one byte was left
    CSwfReader bits(data, sizeof data);
    EXPECT_EQ(bits.UB(4), 0u);
    EXPECT_EQ(bits.SB(4), 1);
    EXPECT_EQ(bits.SB(8), 2);      // the next byte, read as bits
    EXPECT_EQ(bits.SB(4), -1);     // 1111 sign-extended
    EXPECT_TRUE(bits.Ok());
    EXPECT_EQ(bits.UB(5), 0u);
    EXPECT_FALSE(bits.Ok());
    CSwfReader str(data, sizeof data);
    str.String();
    EXPECT_FALSE(str.Ok());
}

TEST(PlayerSwf, ShapeEdgesGroupByFillSide) {
    // An outer square with fill 1 inside, and an inner square whose edges have fill 1 on one side
    // and fill 2 on the other: a ring of colour 1 around a square of colour 2.
    CSwfWriter w(20, 20, 12);
    CShapeBuilder s;
    int f1 = s.AddFill(CFillW::SolidColor(Rgb(255, 0, 0)));
    int f2 = s.AddFill(CFillW::SolidColor(Rgb(0, 255, 0)));
    s.Rect(0, 0, 400, 400, f1);
    s.SetStyle(f1, f2, 0);
    s.MoveTo(100, 100);
    s.LineTo(300, 100);
    s.LineTo(300, 300);
    s.LineTo(100, 300);
    s.LineTo(100, 100);
    uint16_t id = w.DefineShape(s, 2);
    w.Place(1, id, CMatrixW());
    w.ShowFrame();
    CPlayer p;
    playertest::Load(p, w);
    const CCharacter* c = p.Movie().Find(id);
    ASSERT_TRUE(c && c->eKind == ECharacterKind::Shape);
    ASSERT_EQ(c->pShape->layers.size(), 1u);
    EXPECT_EQ(c->pShape->layers[0].fillEdges[0].size(), 8u);
    EXPECT_EQ(c->pShape->layers[0].fillEdges[1].size(), 4u);
    CImage img = playertest::Render(p, 20, 20);
    EXPECT_EQ(img.Color(2, 2), (CColor{255, 0, 0, 255}));
    EXPECT_EQ(img.Color(10, 10), (CColor{0, 255, 0, 255}));
}

TEST(PlayerSwf, AllShapeVersionsAndLineStylesRender) {
    for (int version = 1; version <= 4; ++version) {
        CSwfWriter w(20, 20, 12);
        CShapeBuilder s;
        CLineW l;
        l.width = 80;  // 4 pixels
        l.color = Rgb(0, 0, 0);
        l.startCap = l.endCap = 1;
        int line = s.AddLine(l);
        s.SetStyle(0, 0, line);
        s.MoveTo(40, 200);
        s.LineTo(360, 200);
        uint16_t id = w.DefineShape(s, version);
        w.Place(1, id, CMatrixW());
        w.ShowFrame();
        CPlayer p;
        playertest::Load(p, w);
        CImage img = playertest::Render(p, 20, 20);
        EXPECT_EQ(img.Color(10, 9), (CColor{0, 0, 0, 255})) << version;
        EXPECT_EQ(img.Color(10, 13), (CColor{255, 255, 255, 255})) << version;
        // Round caps before DefineShape4, which asks for none here.
        if (version == 4)
            EXPECT_EQ(img.Color(1, 9), (CColor{255, 255, 255, 255}));
        else
            EXPECT_LT(img.Color(1, 9).r, 128) << version;
    }
}

TEST(PlayerSwf, MorphShapeFollowsRatio) {
    CSwfWriter w(40, 20, 12);
    CShapeBuilder a, b;
    a.Rect(0, 0, 200, 400, a.AddFill(CFillW::SolidColor(Rgb(255, 0, 0))));
    b.Rect(400, 0, 800, 400, b.AddFill(CFillW::SolidColor(Rgb(0, 0, 255))));
    uint16_t id = w.DefineMorphShape(a, b, 1);
    uint16_t id2 = w.DefineMorphShape(a, b, 2);
    for (int ratio : {0, 65535, 32768}) {
        CPlaceW pl;
        pl.depth = 1;
        pl.id = ratio == 0 ? id : 0;
        pl.move = ratio != 0;
        pl.ratio = ratio;
        w.Place(pl);
        w.ShowFrame();
    }
    CPlayer p;
    playertest::Load(p, w);
    EXPECT_NE(p.Movie().Find(id2), nullptr);
    CImage start = playertest::Render(p, 40, 20);
    EXPECT_EQ(start.Color(5, 10), (CColor{255, 0, 0, 255}));
    EXPECT_EQ(start.Color(30, 10).b, 255);
    EXPECT_EQ(start.Color(30, 10).r, 255);  // white background
    p.Advance();
    CImage end = playertest::Render(p, 40, 20);
    EXPECT_EQ(end.Color(30, 10), (CColor{0, 0, 255, 255}));
    EXPECT_EQ(end.Color(5, 10), (CColor{255, 255, 255, 255}));
    p.Advance();
    CImage mid = playertest::Render(p, 40, 20);  // x from 10 to 25, purple
    EXPECT_NEAR(mid.Color(15, 10).r, 128, 2);
    EXPECT_NEAR(mid.Color(15, 10).b, 127, 2);
    EXPECT_EQ(mid.Color(5, 10), (CColor{255, 255, 255, 255}));
}

// Fills the whole w x h stage with bitmap bm, each bitmap pixel scale stage pixels, and
// renders the first frame with the given decoder.
CImage RenderBitmapFill(CSwfWriter& w, uint16_t bm, int width, int height, double scale,
                        IJpegDecoder* pDecoder = DefaultJpegDecoder(), CPlayer* pOut = nullptr) {
    CShapeBuilder s;
    int f = s.AddFill(CFillW::Bitmap(bm, CMatrixW::ScaleRotate(20 * scale, 20 * scale, 0, 0, 0), CFillW::BitmapClipHard));
    s.Rect(0, 0, width * 20, height * 20, f);
    w.Place(1, w.DefineShape(s, 3), CMatrixW());
    w.ShowFrame();
    CPlayer local(pDecoder);
    CPlayer& p = pOut ? *pOut : local;
    playertest::Load(p, w);
    return playertest::Render(p, width, height);
}

TEST(PlayerSwf, LosslessBitmapsAsFills) {
    std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 0};
    struct {
        bool alpha, palette;
    } cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const auto& c : cases) {
        CSwfWriter w(20, 20, 12);
        w.SetBackground(Rgb(0, 0, 0));
        uint16_t bm = c.palette ? w.DefineBitsLosslessPalette(2, 2, {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255), Rgb(255, 255, 255, 0)},
                                                             {0, 1, 2, 3}, c.alpha)
                                : w.DefineBitsLossless(2, 2, rgba, c.alpha);
        CImage img = RenderBitmapFill(w, bm, 20, 20, 10);
        EXPECT_EQ(img.Color(5, 5), (CColor{255, 0, 0, 255})) << c.alpha << c.palette;
        EXPECT_EQ(img.Color(15, 5), (CColor{0, 255, 0, 255})) << c.alpha << c.palette;
        EXPECT_EQ(img.Color(5, 15), (CColor{0, 0, 255, 255})) << c.alpha << c.palette;
        // The fourth pixel is transparent white with alpha, opaque white without.
        EXPECT_EQ(img.Color(15, 15), (c.alpha ? CColor{0, 0, 0, 255} : CColor{255, 255, 255, 255})) << c.alpha << c.palette;
    }
}

// A JPEG of w x h pixels, left half red, right half blue; with bTablesOnly / bImageOnly the
// abbreviated streams of a DefineBits pair.
std::vector<uint8_t> MakeJpeg(int w, int h, int mode) {
    jpeg_compress_struct ci;
    jpeg_error_mgr err;
    ci.err = jpeg_std_error(&err);
    jpeg_create_compress(&ci);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&ci, &buf, &size);
    ci.image_width = unsigned(w);
    ci.image_height = unsigned(h);
    ci.input_components = 3;
    ci.in_color_space = JCS_RGB;
    jpeg_set_defaults(&ci);
    jpeg_set_quality(&ci, 95, TRUE);
    if (mode == 1) {
        jpeg_write_tables(&ci);
    } else {
        jpeg_start_compress(&ci, mode == 2 ? FALSE : TRUE);
        std::vector<uint8_t> row(size_t(w) * 3);
        for (int x = 0; x < w; ++x) {
            bool left = x < w / 2;
            row[3 * x] = left ? 255 : 0;
            row[3 * x + 1] = 0;
            row[3 * x + 2] = left ? 0 : 255;
        }
        while (ci.next_scanline < ci.image_height) {
            JSAMPROW r = row.data();
            jpeg_write_scanlines(&ci, &r, 1);
        }
        jpeg_finish_compress(&ci);
    }
    std::vector<uint8_t> out(buf, buf + size);
    jpeg_destroy_compress(&ci);
    free(buf);
    return out;
}

TEST(PlayerSwf, JpegBitmapsAllThreeWays) {
    for (int kind : {1, 2, 3}) {
        CSwfWriter w(32, 16, 12);
        w.SetBackground(Rgb(0, 0, 0));
        uint16_t bm;
        if (kind == 1) {
            w.JpegTables(MakeJpeg(32, 16, 1));
            bm = w.DefineBits(MakeJpeg(32, 16, 2));
        } else if (kind == 2) {
            std::vector<uint8_t> jpeg = MakeJpeg(32, 16, 0);
            jpeg.insert(jpeg.begin(), {0xff, 0xd9, 0xff, 0xd8});  // the stray pair older movies carry
            bm = w.DefineBitsJpeg2(jpeg);
        } else {
            std::vector<uint8_t> alpha(32 * 16, 255);
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 8; ++x) alpha[size_t(y) * 32 + x] = 0;
            bm = w.DefineBitsJpeg3(MakeJpeg(32, 16, 0), alpha);
        }
        CImage img = RenderBitmapFill(w, bm, 32, 16, 1);
        CColor left = img.Color(10, 8), right = img.Color(26, 8), edge = img.Color(2, 8);
        EXPECT_GT(left.r, 230) << kind;
        EXPECT_LT(left.b, 30) << kind;
        EXPECT_GT(right.b, 230) << kind;
        if (kind == 3)
            EXPECT_LT(edge.r, 10) << "transparent quarter shows the black background";
        else
            EXPECT_GT(edge.r, 230) << kind;
    }
}

TEST(PlayerSwf, JpegWithoutDecoderOrDamagedLeavesFillEmpty) {
    std::vector<uint8_t> jpeg = MakeJpeg(16, 16, 0);
    std::vector<uint8_t> damaged(jpeg.begin(), jpeg.begin() + 200);
    damaged[100] = 0xff;
    damaged[101] = 0xc4;
    for (IJpegDecoder* dec : {static_cast<IJpegDecoder*>(nullptr), DefaultJpegDecoder()}) {
        CSwfWriter w(16, 16, 12);
        uint16_t bm = w.DefineBitsJpeg2(dec ? damaged : jpeg);
        CPlayer p(dec);
        CImage img = RenderBitmapFill(w, bm, 16, 16, 1, dec, &p);
        EXPECT_EQ(p.Movie().Find(bm), nullptr);
        EXPECT_EQ(img.Color(8, 8), (CColor{255, 255, 255, 255}));
    }
}

TEST(PlayerSwf, TextDrawsGlyphOutlinesAtItsHeight) {
    // Glyph 0: a full em square; glyph 1: the left half of it.
    for (int version : {1, 2, 3}) {
        const int32_t em = version == 3 ? 20480 : 1024;
        CShapeBuilder full, half;
        full.Rect(0, -em, em, 0, 1);
        half.Rect(0, -em, em / 2, 0, 1);
        CSwfWriter w(40, 20, 12);
        uint16_t font = w.DefineFont({full, half}, version);
        // 10 pixels high, baseline at y = 15 px, starting at x = 5 px.
        uint16_t text = w.DefineText(font, 200, Rgb(0, 0, 200), 100, 300, {{0, 240}, {1, 200}}, version == 3 ? 2 : 1);
        w.Place(1, text, CMatrixW());
        w.ShowFrame();
        CPlayer p;
        playertest::Load(p, w);
        CImage img = playertest::Render(p, 40, 20);
        EXPECT_EQ(img.Color(7, 10), (CColor{0, 0, 200, 255})) << version;   // first glyph
        EXPECT_EQ(img.Color(20, 10), (CColor{0, 0, 200, 255})) << version;  // second, left half
        EXPECT_EQ(img.Color(26, 10), (CColor{255, 255, 255, 255})) << version;
        EXPECT_EQ(img.Color(7, 3), (CColor{255, 255, 255, 255})) << version;  // above the em
    }
}

TEST(PlayerSwf, ButtonsShowTheirUpStateOnly) {
    for (int version : {1, 2}) {
        CSwfWriter w(40, 20, 12);
        w.SetBackground(Rgb(255, 255, 255));
        CShapeBuilder red, blue;
        red.Rect(0, 0, 200, 200, red.AddFill(CFillW::SolidColor(Rgb(255, 0, 0))));
        blue.Rect(0, 0, 200, 200, blue.AddFill(CFillW::SolidColor(Rgb(0, 0, 255))));
        uint16_t redId = w.DefineShape(red, 1), blueId = w.DefineShape(blue, 1);
        CCxformW halfGreen;
        halfGreen.mr = 0;
        halfGreen.ag = 128;
        // Up at x = 0..10 px (up and over), over at 10..20, hit at 20..30, up again at 30..40.
        std::vector<CSwfWriter::CButtonRecordW> records = {
            {0x03, redId, 1, CMatrixW::Translate(0, 0), halfGreen, {}, 0},
            {0x02, blueId, 2, CMatrixW::Translate(200, 0), CCxformW(), {}, 0},
            {0x08, blueId, 3, CMatrixW::Translate(400, 0), CCxformW(), {}, 0},
            {0x01, redId, 4, CMatrixW::Translate(600, 0), CCxformW(), {}, 0},
        };
        if (version == 2) {
            // Filters and a blend mode on the hit record, to be read past: a drop shadow and a
            // gradient glow of two colours.
            records[2].states |= 0x30;
            records[2].filterList = {2, 0};
            records[2].filterList.resize(2 + 23);
            records[2].filterList.insert(records[2].filterList.end(), {4, 2});
            records[2].filterList.resize(records[2].filterList.size() + 2 * 5 + 19);
            records[2].blendMode = 3;
        }
        uint16_t button = w.DefineButton(records, version);
        w.Place(1, button, CMatrixW::Translate(0, 100));
        w.ShowFrame();
        CPlayer p;
        playertest::Load(p, w);
        CImage img = playertest::Render(p, 40, 20);
        const CColor up = version == 2 ? CColor{0, 128, 0, 255} : CColor{255, 0, 0, 255};
        EXPECT_EQ(up, img.Color(5, 10)) << version;
        EXPECT_EQ((CColor{255, 255, 255, 255}), img.Color(15, 10)) << version;
        EXPECT_EQ((CColor{255, 255, 255, 255}), img.Color(25, 10)) << version;
        EXPECT_EQ((CColor{255, 0, 0, 255}), img.Color(35, 10)) << version;
        EXPECT_EQ((CColor{255, 255, 255, 255}), img.Color(5, 2)) << version;
    }
}

// A field of the given width and 30 pixels high, in red text 10 pixels high.
CSwfWriter::CEditTextW RedField(uint16_t font, int widthPx, const std::string& text) {
    CSwfWriter::CEditTextW field;
    field.x1 = widthPx * 20;
    field.y1 = 600;
    field.font = font;
    field.height = 200;
    field.color = Rgb(255, 0, 0);
    field.text = text;
    return field;
}

// Text fields in a font of four glyphs on a 1024-unit em: "A" and "\u00C4" fill the em square,
// "B" its left half, and the space is empty and half as wide. At a height of 200 twips an em
// is 10 pixels, and a field's first line fills y = 2..12 pixels, inside the 2-pixel gutter.
TEST(PlayerSwf, TextFieldsLayOutTheirInitialText) {
    using Points = std::vector<std::pair<int, int>>;
    const struct {
        const char* name;
        uint8_t swfVersion;
        int widthPx;
        uint8_t align;
        bool multiline, wordWrap, html;
        const char* text;
        Points inked, blank;
    } cases[] = {
        {"left", 8, 50, 0, false, false, false, "AB", {{7, 7}, {14, 7}, {7, 11}}, {{19, 7}, {7, 17}, {1, 7}, {7, 1}}},
        {"right", 8, 50, 1, false, false, false, "AB", {{33, 7}, {40, 7}}, {{7, 7}, {45, 7}}},
        {"centre", 8, 50, 2, false, false, false, "AB", {{20, 7}, {27, 7}}, {{12, 7}, {32, 7}}},
        {"word wrap", 8, 25, 0, true, true, false, "AB AB", {{7, 7}, {7, 17}, {14, 17}}, {{30, 7}}},
        {"html", 8, 50, 0, true, false, true, "<p>A</p>B&amp;", {{7, 7}, {4, 17}}, {{14, 7}, {9, 17}}},
        {"single line", 8, 50, 0, false, false, false, "A\nB", {{7, 7}}, {{4, 17}}},
        {"UTF-8", 6, 50, 0, false, false, false, "\xC3\x84" "B", {{7, 7}, {14, 7}}, {}},
        {"bytes before version 6", 5, 50, 0, false, false, false, "\xC3\x84" "B", {{4, 7}}, {{9, 7}}},
    };
    for (const auto& c : cases) {
        CSwfWriter w(50, 30, 12, c.swfVersion);
        w.SetBackground(Rgb(255, 255, 255));
        CShapeBuilder full, half, space;
        full.Rect(0, -1024, 1024, 0, 1);
        half.Rect(0, -1024, 512, 0, 1);
        CSwfWriter::CFontLayoutW layout;
        layout.codes = {'A', 'B', ' ', 0xC4};
        layout.advances = {1024, 1024, 512, 1024};
        layout.ascent = 1024;
        uint16_t font = w.DefineFont({full, half, space, full}, 2, &layout);
        CSwfWriter::CEditTextW field = RedField(font, c.widthPx, c.text);
        field.align = c.align;
        field.multiline = c.multiline;
        field.wordWrap = c.wordWrap;
        field.html = c.html;
        w.Place(1, w.DefineEditText(field), CMatrixW());
        w.ShowFrame();
        CPlayer p;
        playertest::Load(p, w);
        CImage img = playertest::Render(p, 50, 30);
        for (const auto& pt : c.inked)
            EXPECT_EQ((CColor{255, 0, 0, 255}), img.Color(pt.first, pt.second)) << c.name << " at " << pt.first << "," << pt.second;
        for (const auto& pt : c.blank)
            EXPECT_EQ((CColor{255, 255, 255, 255}), img.Color(pt.first, pt.second)) << c.name << " at " << pt.first << "," << pt.second;
    }
}

TEST(PlayerSwf, TextFieldHtmlColoursAndBorder) {
    CSwfWriter w(50, 30, 12);
    w.SetBackground(Rgb(128, 128, 128));
    CShapeBuilder full;
    full.Rect(0, -1024, 1024, 0, 1);
    CSwfWriter::CFontLayoutW layout;
    layout.codes = {'A'};
    layout.advances = {1024};
    layout.ascent = 1024;
    const uint16_t font = w.DefineFont({full}, 2, &layout);
    // "AAA" with the middle one blue, in a field 40 x 20 pixels with a border.
    CSwfWriter::CEditTextW field = RedField(font, 40, "<P>A<FONT FACE=\"_sans\" COLOR=\"#0000ff\">A</FONT>A</P>");
    field.y1 = 400;
    field.html = true;
    field.border = true;
    w.Place(1, w.DefineEditText(field), CMatrixW());
    w.ShowFrame();
    CPlayer p;
    playertest::Load(p, w);
    CImage img = playertest::Render(p, 50, 30);
    EXPECT_EQ((CColor{255, 0, 0, 255}), img.Color(7, 7));
    EXPECT_EQ((CColor{0, 0, 255, 255}), img.Color(17, 7));
    EXPECT_EQ((CColor{255, 0, 0, 255}), img.Color(27, 7));
    EXPECT_EQ((CColor{255, 255, 255, 255}), img.Color(35, 15));  // the background
    EXPECT_LT(img.Color(0, 15).r, 64);                              // the hairline
    EXPECT_EQ((CColor{128, 128, 128, 255}), img.Color(45, 15));    // outside the field
}

// The platform's fonts as a test sees them: every character but the space is a square one em
// wide and high on the baseline. Records what it was asked.
class CSquareFonts : public IDeviceFonts {
public:
    bool Outline(const std::string& strName, bool bBold, bool bItalic, const std::vector<uint16_t>& codes,
                 CFont& font) override {
        ++nCalls;
        name = strName;
        bold = bBold;
        italic = bItalic;
        asked = codes;
        const float em = font.fEmSquare;
        font.glyphs.assign(codes.size(), CShape());
        font.advances.assign(codes.size(), em);
        for (size_t i = 0; i < codes.size(); ++i) {
            if (codes[i] == ' ') continue;
            CShapeLayer square;
            square.fillEdges.push_back({{0, -em, 0, 0, em, -em, false},
                                        {em, -em, 0, 0, em, 0, false},
                                        {em, 0, 0, 0, 0, 0, false},
                                        {0, 0, 0, 0, 0, -em, false}});
            font.glyphs[i].layers.push_back(std::move(square));
        }
        font.fAscent = em;
        font.fDescent = 0;
        return true;
    }

    int nCalls = 0;
    std::string name;
    bool bold = false, italic = false;
    std::vector<uint16_t> asked;
};

// Static text and a text field in device fonts show in the platform's font of the name the
// movie gives, and not at all without one.
TEST(PlayerSwf, DeviceFontsComeFromThePlatform) {
    const CColor RED{255, 0, 0, 255}, WHITE{255, 255, 255, 255};
    for (bool bField : {false, true}) {
        CSwfWriter w(50, 30, 12);
        w.SetBackground(Rgb(255, 255, 255));
        CSwfWriter::CFontLayoutW layout;
        layout.name = bField ? "_serif" : "_sans";
        layout.bold = !bField;
        layout.italic = bField;
        uint16_t text;
        if (bField) {
            // A device font as text fields name it: no glyphs at all.
            text = w.DefineEditText(RedField(w.DefineFont({}, 2, &layout), 50, "BA AB"));
        } else {
            // Static text: the font lists its characters with empty outlines.
            layout.codes = {'A', 'B'};
            uint16_t font = w.DefineFont({CShapeBuilder(), CShapeBuilder()}, 2, &layout);
            // First line: glyphs 10 pixels high on the baseline y = 12 px, from x = 2 px.
            text = w.DefineText(font, 200, Rgb(255, 0, 0), 40, 240, {{0, 200}, {1, 200}}, 2);
        }
        w.Place(1, text, CMatrixW());
        w.ShowFrame();
        const std::vector<uint8_t> bytes = w.Finish();

        CSquareFonts fonts;
        CPlayer p(DefaultJpegDecoder(), &fonts);
        ASSERT_EQ(ELoadError::None, p.Load(bytes.data(), bytes.size()));
        EXPECT_EQ(1, fonts.nCalls) << bField;
        EXPECT_EQ(layout.name, fonts.name);
        EXPECT_EQ(layout.bold, fonts.bold);
        EXPECT_EQ(layout.italic, fonts.italic);
        // A field asks for the characters of its text, once each; static text for its font's.
        const std::vector<uint16_t> expected = bField ? std::vector<uint16_t>{' ', 'A', 'B'} : std::vector<uint16_t>{'A', 'B'};
        EXPECT_EQ(expected, fonts.asked);
        CImage img = playertest::Render(p, 50, 30);
        EXPECT_EQ(RED, img.Color(7, 7)) << bField;
        EXPECT_EQ(RED, img.Color(17, 7)) << bField;
        EXPECT_EQ(WHITE, img.Color(7, 14)) << bField;

        CPlayer without;
        ASSERT_EQ(ELoadError::None, without.Load(bytes.data(), bytes.size()));
        EXPECT_EQ(WHITE, playertest::Render(without, 50, 30).Color(7, 7)) << bField;
    }
}

// A movie cannot have the platform outline characters without end: a device font of more
// characters than a movie may ask for is not outlined, and what is left serves smaller ones.
TEST(PlayerSwf, DeviceFontCharactersAreBudgeted) {
    CSwfWriter w(50, 30, 12);
    w.SetBackground(Rgb(255, 255, 255));
    CSwfWriter::CFontLayoutW huge;
    for (uint16_t c = 0x4E00; c < 0x4E00 + 5000; ++c) huge.codes.push_back(c);
    w.DefineFont(std::vector<CShapeBuilder>(huge.codes.size()), 2, &huge);
    CSwfWriter::CFontLayoutW small;
    small.name = "_sans";
    w.Place(1, w.DefineEditText(RedField(w.DefineFont({}, 2, &small), 50, "A")), CMatrixW());
    w.ShowFrame();
    const std::vector<uint8_t> bytes = w.Finish();
    CSquareFonts fonts;
    CPlayer p(DefaultJpegDecoder(), &fonts);
    ASSERT_EQ(ELoadError::None, p.Load(bytes.data(), bytes.size()));
    EXPECT_EQ(1, fonts.nCalls);
    EXPECT_EQ(std::vector<uint16_t>{'A'}, fonts.asked);
    EXPECT_EQ((CColor{255, 0, 0, 255}), playertest::Render(p, 50, 30).Color(7, 7));
}

TEST(PlayerSwf, ImageComparisonReportsShareOfPixelsOff) {
    CBitmap a, b;
    a.nWidth = b.nWidth = 10;
    a.nHeight = b.nHeight = 10;
    a.pixels.assign(100, 0xff808080u);
    b.pixels = a.pixels;
    b.pixels[3] = 0xff8a8080u;   // off by 10 in red
    b.pixels[7] = 0xff838080u;   // off by 3
    CImageDiff d = CompareImages(a, b, 4);
    EXPECT_EQ(d.nOff, 1u);
    EXPECT_EQ(d.nMaxDelta, 10);
    EXPECT_DOUBLE_EQ(d.ShareOff(), 0.01);
    b.nWidth = 5;
    EXPECT_FALSE(CompareImages(a, b, 4).bSameSize);
}

}  // namespace
