#include "SwfWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace swfwriter {

static constexpr double PI = 3.14159265358979323846;

void CBitWriter::UB(uint32_t v, unsigned nBits) {
    for (unsigned i = nBits; i-- > 0;) {
        m_nByte = uint8_t((m_nByte << 1) | ((v >> i) & 1u));
        if (++m_nBits == 8) {
            m_data.push_back(m_nByte);
            m_nByte = 0;
            m_nBits = 0;
        }
    }
}

void CBitWriter::Align() {
    if (m_nBits) UB(0, 8 - m_nBits);
}

void CBitWriter::U8(uint8_t v) {
    Align();
    m_data.push_back(v);
}

void CBitWriter::U16(uint16_t v) {
    U8(uint8_t(v));
    U8(uint8_t(v >> 8));
}

void CBitWriter::U32(uint32_t v) {
    U16(uint16_t(v));
    U16(uint16_t(v >> 16));
}

void CBitWriter::Bytes(const std::vector<uint8_t>& v) {
    Align();
    m_data.insert(m_data.end(), v.begin(), v.end());
}

void CBitWriter::String(const std::string& s) {
    Align();
    m_data.insert(m_data.end(), s.begin(), s.end());
    m_data.push_back(0);
}

unsigned CBitWriter::SignedBits(int32_t v) {
    unsigned n = 1;
    while (n < 32 && (v < -(int64_t(1) << (n - 1)) || v >= (int64_t(1) << (n - 1)))) ++n;
    return n;
}

unsigned CBitWriter::UnsignedBits(uint32_t v) {
    unsigned n = 0;
    while (n < 32 && (v >> n)) ++n;
    return n;
}

CMatrixW CMatrixW::ScaleRotate(double sx, double sy, double r, int32_t x, int32_t y) {
    return {sx * std::cos(r), sx * std::sin(r), -sy * std::sin(r), sy * std::cos(r), x, y};
}

CMatrixW CMatrixW::GradientBox(int32_t cx, int32_t cy, int32_t w, int32_t h, double r) {
    return ScaleRotate(w / 32768.0, h / 32768.0, r, cx, cy);
}

CFillW CFillW::SolidColor(CColorW c) {
    CFillW f;
    f.color = c;
    return f;
}

CFillW CFillW::Gradient(EType t, const CMatrixW& m, std::vector<CStopW> stops) {
    CFillW f;
    f.type = t;
    f.matrix = m;
    f.stops = std::move(stops);
    return f;
}

CFillW CFillW::Bitmap(uint16_t id, const CMatrixW& m, EType t) {
    CFillW f;
    f.type = t;
    f.matrix = m;
    f.bitmapId = id;
    return f;
}

static int32_t Fixed16(double v) { return int32_t(std::lround(v * 65536.0)); }

// A matrix's optional pair of 16.16 values: its flag, then both in the fewest bits that hold them.
static void WriteFixedPair(CBitWriter& w, bool bPresent, double x, double y) {
    w.UB(bPresent, 1);
    if (!bPresent) return;
    int32_t fx = Fixed16(x), fy = Fixed16(y);
    unsigned n = std::max(CBitWriter::SignedBits(fx), CBitWriter::SignedBits(fy));
    w.UB(n, 5);
    w.SB(fx, n);
    w.SB(fy, n);
}

static void WriteMatrix(CBitWriter& w, const CMatrixW& m) {
    w.Align();
    WriteFixedPair(w, m.a != 1 || m.d != 1, m.a, m.d);
    WriteFixedPair(w, m.b != 0 || m.c != 0, m.b, m.c);
    unsigned n = (m.tx || m.ty) ? std::max(CBitWriter::SignedBits(m.tx), CBitWriter::SignedBits(m.ty)) : 0;
    w.UB(n, 5);
    w.SB(m.tx, n);
    w.SB(m.ty, n);
    w.Align();
}

static void WriteCxform(CBitWriter& w, const CCxformW& c, bool bAlpha) {
    w.Align();
    int32_t mul[4] = {int32_t(std::lround(c.mr * 256)), int32_t(std::lround(c.mg * 256)),
                      int32_t(std::lround(c.mb * 256)), int32_t(std::lround(c.ma * 256))};
    int32_t add[4] = {c.ar, c.ag, c.ab, c.aa};
    int nCh = bAlpha ? 4 : 3;
    bool bMul = false, bAdd = false;
    unsigned n = 1;
    for (int i = 0; i < nCh; ++i) {
        bMul |= mul[i] != 256;
        bAdd |= add[i] != 0;
    }
    for (int i = 0; i < nCh; ++i) {
        if (bMul) n = std::max(n, CBitWriter::SignedBits(mul[i]));
        if (bAdd) n = std::max(n, CBitWriter::SignedBits(add[i]));
    }
    w.UB(bAdd, 1);
    w.UB(bMul, 1);
    w.UB(n, 4);
    if (bMul)
        for (int i = 0; i < nCh; ++i) w.SB(mul[i], n);
    if (bAdd)
        for (int i = 0; i < nCh; ++i) w.SB(add[i], n);
    w.Align();
}

static void WriteColor(CBitWriter& w, CColorW c, bool bAlpha) {
    w.U8(c.r);
    w.U8(c.g);
    w.U8(c.b);
    if (bAlpha) w.U8(c.a);
}

static void WriteFill(CBitWriter& w, const CFillW& f, int version) {
    bool bAlpha = version >= 3;
    w.U8(f.type);
    if (f.type == CFillW::Solid) {
        WriteColor(w, f.color, bAlpha);
    } else if (f.type == CFillW::Linear || f.type == CFillW::Radial || f.type == CFillW::Focal) {
        WriteMatrix(w, f.matrix);
        w.U8(uint8_t((f.spread << 6) | (f.linearRgb ? 0x10 : 0) | (f.stops.size() & 15)));
        for (const CStopW& s : f.stops) {
            w.U8(s.ratio);
            WriteColor(w, s.color, bAlpha);
        }
        if (f.type == CFillW::Focal) w.U16(uint16_t(int16_t(std::lround(f.focal * 256))));
    } else {
        w.U16(f.bitmapId);
        WriteMatrix(w, f.matrix);
    }
}

static void WriteCount(CBitWriter& w, size_t n) {
    if (n < 0xff) {
        w.U8(uint8_t(n));
    } else {
        w.U8(0xff);
        w.U16(uint16_t(n));
    }
}

static void WriteLine(CBitWriter& w, const CLineW& l, int version) {
    w.U16(l.width);
    if (version < 4) {
        WriteColor(w, l.color, version >= 3);
        return;
    }
    w.UB(l.startCap, 2);
    w.UB(l.join, 2);
    w.UB(l.hasFill, 1);
    w.UB(0, 1);
    w.UB(0, 1);
    w.UB(0, 1);
    w.UB(0, 5);
    w.UB(0, 1);
    w.UB(l.endCap, 2);
    if (l.join == 2) w.U16(uint16_t(std::lround(l.miterLimit * 256)));
    if (l.hasFill)
        WriteFill(w, l.fill, version);
    else
        WriteColor(w, l.color, true);
}

int CShapeBuilder::AddFill(const CFillW& f) {
    m_fills.push_back(f);
    return int(m_fills.size());
}

int CShapeBuilder::AddLine(const CLineW& l) {
    m_lines.push_back(l);
    return int(m_lines.size());
}

void CShapeBuilder::SetStyle(int fill0, int fill1, int line) { m_records.push_back({CRecord::Style, fill0, fill1, line, 0}); }
void CShapeBuilder::MoveTo(int32_t x, int32_t y) { m_records.push_back({CRecord::Move, x, y, 0, 0}); }
void CShapeBuilder::LineTo(int32_t x, int32_t y) { m_records.push_back({CRecord::Line, x, y, 0, 0}); }
void CShapeBuilder::CurveTo(int32_t cx, int32_t cy, int32_t x, int32_t y) {
    m_records.push_back({CRecord::Curve, cx, cy, x, y});
}

void CShapeBuilder::Rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int fill, int line) {
    Polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, fill, line);
}

void CShapeBuilder::Polygon(const std::vector<std::pair<int32_t, int32_t>>& pts, int fill, int line) {
    if (pts.empty()) return;
    SetStyle(0, fill, line);
    MoveTo(pts[0].first, pts[0].second);
    for (size_t i = 1; i < pts.size(); ++i) LineTo(pts[i].first, pts[i].second);
    LineTo(pts[0].first, pts[0].second);
}

void CShapeBuilder::Ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry, int fill, int line) {
    // Eight quadratic arcs: each control point sits on the tangents at the arc's ends.
    SetStyle(0, fill, line);
    const double k = 1.0 / std::cos(PI / 8);
    MoveTo(cx + rx, cy);
    for (int i = 1; i <= 8; ++i) {
        double a0 = (i - 0.5) * PI / 4, a1 = i * PI / 4;
        CurveTo(cx + int32_t(std::lround(rx * k * std::cos(a0))), cy + int32_t(std::lround(ry * k * std::sin(a0))),
                cx + int32_t(std::lround(rx * std::cos(a1))), cy + int32_t(std::lround(ry * std::sin(a1))));
    }
}

void CShapeBuilder::Bounds(int32_t& x0, int32_t& y0, int32_t& x1, int32_t& y1) const {
    x0 = y0 = INT32_MAX;
    x1 = y1 = INT32_MIN;
    auto add = [&](int32_t x, int32_t y) {
        x0 = std::min(x0, x); y0 = std::min(y0, y); x1 = std::max(x1, x); y1 = std::max(y1, y);
    };
    for (const CRecord& r : m_records) {
        if (r.kind == CRecord::Move || r.kind == CRecord::Line) add(r.a, r.b);
        if (r.kind == CRecord::Curve) {
            add(r.a, r.b);
            add(r.c, r.d);
        }
    }
    if (x0 > x1) x0 = y0 = x1 = y1 = 0;
    uint16_t wMax = 0;
    for (const CLineW& l : m_lines) wMax = std::max(wMax, l.width);
    x0 -= wMax / 2; y0 -= wMax / 2; x1 += wMax / 2; y1 += wMax / 2;
}

static void WriteRect(CBitWriter& w, int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
    w.Align();
    unsigned n = std::max({CBitWriter::SignedBits(x0), CBitWriter::SignedBits(x1), CBitWriter::SignedBits(y0),
                           CBitWriter::SignedBits(y1)});
    w.UB(n, 5);
    w.SB(x0, n);
    w.SB(x1, n);
    w.SB(y0, n);
    w.SB(y1, n);
    w.Align();
}

static void WriteBounds(CBitWriter& w, const CShapeBuilder& s) {
    int32_t x0, y0, x1, y1;
    s.Bounds(x0, y0, x1, y1);
    WriteRect(w, x0, x1, y0, y1);
}

static void WriteRecords(CBitWriter& w, const CShapeBuilder& s, unsigned nFillBits, unsigned nLineBits) {
    w.UB(nFillBits, 4);
    w.UB(nLineBits, 4);
    int32_t x = 0, y = 0;
    const auto& recs = s.Records();
    for (size_t i = 0; i < recs.size(); ++i) {
        const auto& r = recs[i];
        switch (r.kind) {
        case CShapeBuilder::CRecord::Style:
        case CShapeBuilder::CRecord::Move: {
            // A style record followed by a move become one record.
            const CShapeBuilder::CRecord* pStyle = r.kind == CShapeBuilder::CRecord::Style ? &r : nullptr;
            const CShapeBuilder::CRecord* pMove = r.kind == CShapeBuilder::CRecord::Move ? &r : nullptr;
            if (pStyle && i + 1 < recs.size() && recs[i + 1].kind == CShapeBuilder::CRecord::Move) pMove = &recs[++i];
            w.UB(0, 1);
            w.UB(0, 1);  // new styles
            w.UB(pStyle ? 1 : 0, 1);
            w.UB(pStyle ? 1 : 0, 1);
            w.UB(pStyle ? 1 : 0, 1);
            w.UB(pMove ? 1 : 0, 1);
            if (pMove) {
                unsigned n = std::max(CBitWriter::SignedBits(pMove->a), CBitWriter::SignedBits(pMove->b));
                w.UB(n, 5);
                w.SB(pMove->a, n);
                w.SB(pMove->b, n);
                x = pMove->a;
                y = pMove->b;
            }
            if (pStyle) {
                w.UB(uint32_t(pStyle->a), nFillBits);
                w.UB(uint32_t(pStyle->b), nFillBits);
                w.UB(uint32_t(pStyle->c), nLineBits);
            }
            break;
        }
        case CShapeBuilder::CRecord::Line: {
            int32_t dx = r.a - x, dy = r.b - y;
            unsigned n = std::max({2u, CBitWriter::SignedBits(dx), CBitWriter::SignedBits(dy)});
            w.UB(1, 1);
            w.UB(1, 1);
            w.UB(n - 2, 4);
            if (dx != 0 && dy != 0) {
                w.UB(1, 1);
                w.SB(dx, n);
                w.SB(dy, n);
            } else {
                w.UB(0, 1);
                w.UB(dx == 0, 1);
                w.SB(dx == 0 ? dy : dx, n);
            }
            x = r.a;
            y = r.b;
            break;
        }
        case CShapeBuilder::CRecord::Curve: {
            int32_t cdx = r.a - x, cdy = r.b - y, adx = r.c - r.a, ady = r.d - r.b;
            unsigned n = std::max({2u, CBitWriter::SignedBits(cdx), CBitWriter::SignedBits(cdy),
                                   CBitWriter::SignedBits(adx), CBitWriter::SignedBits(ady)});
            w.UB(1, 1);
            w.UB(0, 1);
            w.UB(n - 2, 4);
            w.SB(cdx, n);
            w.SB(cdy, n);
            w.SB(adx, n);
            w.SB(ady, n);
            x = r.c;
            y = r.d;
            break;
        }
        }
    }
    w.UB(0, 6);
    w.Align();
}

CActionWriter& CActionWriter::Op(uint8_t code) {
    m_data.push_back(code);
    return *this;
}

CActionWriter& CActionWriter::Raw(uint8_t code, const std::vector<uint8_t>& data) {
    m_data.push_back(code);
    m_data.push_back(uint8_t(data.size()));
    m_data.push_back(uint8_t(data.size() >> 8));
    m_data.insert(m_data.end(), data.begin(), data.end());
    return *this;
}

CActionWriter& CActionWriter::GotoFrame(uint16_t f) { return Raw(0x81, {uint8_t(f), uint8_t(f >> 8)}); }

CActionWriter& CActionWriter::GotoLabel(const std::string& label) {
    std::vector<uint8_t> d(label.begin(), label.end());
    d.push_back(0);
    return Raw(0x8C, d);
}

CActionWriter& CActionWriter::SetTarget(const std::string& path) {
    std::vector<uint8_t> d(path.begin(), path.end());
    d.push_back(0);
    return Raw(0x8B, d);
}

CActionWriter& CActionWriter::PushNumber(double v) {
    uint64_t bits;
    static_assert(sizeof bits == sizeof v, "double is 64 bits");
    std::memcpy(&bits, &v, sizeof v);
    std::vector<uint8_t> d{6};
    // High word first, each word little-endian.
    for (int word : {1, 0})
        for (int i = 0; i < 4; ++i) d.push_back(uint8_t(bits >> (32 * word + 8 * i)));
    return Raw(0x96, d);
}

CActionWriter& CActionWriter::PushString(const std::string& s) {
    std::vector<uint8_t> d{0};
    d.insert(d.end(), s.begin(), s.end());
    d.push_back(0);
    return Raw(0x96, d);
}

CActionWriter& CActionWriter::GotoFrame2(bool play) { return Raw(0x9F, {uint8_t(play ? 1 : 0)}); }

CActionWriter& CActionWriter::Jump(int16_t offset) { return Raw(0x99, {uint8_t(offset), uint8_t(uint16_t(offset) >> 8)}); }

CActionWriter& CActionWriter::If(int16_t offset) { return Raw(0x9D, {uint8_t(offset), uint8_t(uint16_t(offset) >> 8)}); }

CActionWriter& CActionWriter::PushRegister(uint8_t reg) { return Raw(0x96, {4, reg}); }

CActionWriter& CActionWriter::StoreRegister(uint8_t reg) { return Raw(0x87, {reg}); }

CActionWriter& CActionWriter::DefineFunction(const std::string& name, const CActionWriter& body) {
    std::vector<uint8_t> d(name.begin(), name.end());
    d.push_back(0);
    d.insert(d.end(), {0, 0});  // no parameters
    const size_t n = body.m_data.size();
    d.insert(d.end(), {uint8_t(n), uint8_t(n >> 8)});
    Raw(0x9B, d);
    m_data.insert(m_data.end(), body.m_data.begin(), body.m_data.end());
    return *this;
}

std::vector<uint8_t> CActionWriter::Bytes() const {
    std::vector<uint8_t> d = m_data;
    d.push_back(0);
    return d;
}

void CTimelineWriter::Tag(uint16_t code, const std::vector<uint8_t>& body) {
    if (body.size() < 0x3f) {
        uint16_t h = uint16_t((code << 6) | body.size());
        m_tags.push_back(uint8_t(h));
        m_tags.push_back(uint8_t(h >> 8));
    } else {
        uint16_t h = uint16_t((code << 6) | 0x3f);
        m_tags.push_back(uint8_t(h));
        m_tags.push_back(uint8_t(h >> 8));
        for (int i = 0; i < 4; ++i) m_tags.push_back(uint8_t(body.size() >> (8 * i)));
    }
    m_tags.insert(m_tags.end(), body.begin(), body.end());
}

void CTimelineWriter::Place(const CPlaceW& p, int version) {
    CBitWriter w;
    uint8_t f = 0;
    if (p.move) f |= 0x01;
    if (p.id) f |= 0x02;
    if (p.hasMatrix) f |= 0x04;
    if (p.hasCxform) f |= 0x08;
    if (p.ratio >= 0) f |= 0x10;
    if (!p.name.empty()) f |= 0x20;
    if (p.clipDepth) f |= 0x40;
    w.U8(f);
    if (version >= 3) w.U8(0);
    w.U16(p.depth);
    if (p.id) w.U16(p.id);
    if (p.hasMatrix) WriteMatrix(w, p.matrix);
    if (p.hasCxform) WriteCxform(w, p.cxform, true);
    if (p.ratio >= 0) w.U16(uint16_t(p.ratio));
    if (!p.name.empty()) w.String(p.name);
    if (p.clipDepth) w.U16(p.clipDepth);
    Tag(version >= 3 ? 70 : 26, w.Data());
}

void CTimelineWriter::Place(uint16_t depth, uint16_t id, const CMatrixW& m) {
    CPlaceW p;
    p.depth = depth;
    p.id = id;
    p.hasMatrix = true;
    p.matrix = m;
    Place(p);
}

void CTimelineWriter::PlaceObject1(uint16_t depth, uint16_t id, const CMatrixW& m) {
    CBitWriter w;
    w.U16(id);
    w.U16(depth);
    WriteMatrix(w, m);
    Tag(4, w.Data());
}

void CTimelineWriter::Move(uint16_t depth, const CMatrixW& m) {
    CPlaceW p;
    p.depth = depth;
    p.move = true;
    p.hasMatrix = true;
    p.matrix = m;
    Place(p);
}

void CTimelineWriter::Remove(uint16_t depth) { Tag(28, {uint8_t(depth), uint8_t(depth >> 8)}); }

void CTimelineWriter::RemoveObject1(uint16_t id, uint16_t depth) {
    Tag(5, {uint8_t(id), uint8_t(id >> 8), uint8_t(depth), uint8_t(depth >> 8)});
}

void CTimelineWriter::DoAction(const CActionWriter& a) { Tag(12, a.Bytes()); }

void CTimelineWriter::FrameLabel(const std::string& label) {
    std::vector<uint8_t> d(label.begin(), label.end());
    d.push_back(0);
    Tag(43, d);
}

void CTimelineWriter::ShowFrame() {
    Tag(1, {});
    ++m_nFrames;
}

CSwfWriter::CSwfWriter(int widthPx, int heightPx, double fps, uint8_t version)
    : m_nWidth(widthPx), m_nHeight(heightPx), m_fFps(fps), m_nVersion(version) {}

void CSwfWriter::SetBackground(CColorW c) { Tag(9, {c.r, c.g, c.b}); }

uint16_t CSwfWriter::DefineShape(const CShapeBuilder& s, int version) {
    CBitWriter w;
    uint16_t id = m_nNextId++;
    w.U16(id);
    WriteBounds(w, s);
    if (version >= 4) {
        WriteBounds(w, s);
        w.U8(0);
    }
    WriteCount(w, s.Fills().size());
    for (const CFillW& f : s.Fills()) WriteFill(w, f, version);
    WriteCount(w, s.Lines().size());
    for (const CLineW& l : s.Lines()) WriteLine(w, l, version);
    WriteRecords(w, s, CBitWriter::UnsignedBits(uint32_t(s.Fills().size())),
                 CBitWriter::UnsignedBits(uint32_t(s.Lines().size())));
    static const uint16_t kCodes[5] = {0, 2, 22, 32, 83};
    Tag(kCodes[std::max(1, std::min(4, version))], w.Data());
    return id;
}

static void WriteMorphFill(CBitWriter& w, const CFillW& f0, const CFillW& f1) {
    w.U8(f0.type);
    if (f0.type == CFillW::Solid) {
        WriteColor(w, f0.color, true);
        WriteColor(w, f1.color, true);
    } else if (f0.type == CFillW::Linear || f0.type == CFillW::Radial || f0.type == CFillW::Focal) {
        WriteMatrix(w, f0.matrix);
        WriteMatrix(w, f1.matrix);
        size_t n = std::min(f0.stops.size(), f1.stops.size());
        w.U8(uint8_t((f0.spread << 6) | (f0.linearRgb ? 0x10 : 0) | (n & 15)));
        for (size_t i = 0; i < n; ++i) {
            w.U8(f0.stops[i].ratio);
            WriteColor(w, f0.stops[i].color, true);
            w.U8(f1.stops[i].ratio);
            WriteColor(w, f1.stops[i].color, true);
        }
        if (f0.type == CFillW::Focal) {
            w.U16(uint16_t(int16_t(std::lround(f0.focal * 256))));
            w.U16(uint16_t(int16_t(std::lround(f1.focal * 256))));
        }
    } else {
        w.U16(f0.bitmapId);
        WriteMatrix(w, f0.matrix);
        WriteMatrix(w, f1.matrix);
    }
}

uint16_t CSwfWriter::DefineMorphShape(const CShapeBuilder& start, const CShapeBuilder& end, int version) {
    CBitWriter w;
    uint16_t id = m_nNextId++;
    w.U16(id);
    WriteBounds(w, start);
    WriteBounds(w, end);
    if (version >= 2) {
        WriteBounds(w, start);
        WriteBounds(w, end);
        w.U8(0);
    }
    CBitWriter styles;
    WriteCount(styles, start.Fills().size());
    for (size_t i = 0; i < start.Fills().size(); ++i)
        WriteMorphFill(styles, start.Fills()[i], i < end.Fills().size() ? end.Fills()[i] : start.Fills()[i]);
    WriteCount(styles, start.Lines().size());
    for (size_t i = 0; i < start.Lines().size(); ++i) {
        const CLineW& l0 = start.Lines()[i];
        const CLineW& l1 = i < end.Lines().size() ? end.Lines()[i] : l0;
        styles.U16(l0.width);
        styles.U16(l1.width);
        if (version >= 2) {
            styles.UB(l0.startCap, 2);
            styles.UB(l0.join, 2);
            styles.UB(0, 1);
            styles.UB(0, 8);
            styles.UB(0, 1);
            styles.UB(l0.endCap, 2);
            if (l0.join == 2) styles.U16(uint16_t(std::lround(l0.miterLimit * 256)));
        }
        WriteColor(styles, l0.color, true);
        WriteColor(styles, l1.color, true);
    }
    WriteRecords(styles, start, CBitWriter::UnsignedBits(uint32_t(start.Fills().size())),
                 CBitWriter::UnsignedBits(uint32_t(start.Lines().size())));
    // The end edges carry moves only: their style records are written without styles.
    CShapeBuilder endEdges;
    for (const auto& r : end.Records()) {
        if (r.kind == CShapeBuilder::CRecord::Style) continue;
        if (r.kind == CShapeBuilder::CRecord::Move) endEdges.MoveTo(r.a, r.b);
        if (r.kind == CShapeBuilder::CRecord::Line) endEdges.LineTo(r.a, r.b);
        if (r.kind == CShapeBuilder::CRecord::Curve) endEdges.CurveTo(r.a, r.b, r.c, r.d);
    }
    CBitWriter endW;
    WriteRecords(endW, endEdges, 0, 0);
    std::vector<uint8_t>& sd = styles.Data();
    w.U32(uint32_t(sd.size()));
    w.Bytes(sd);
    w.Bytes(endW.Data());
    Tag(version >= 2 ? 84 : 46, w.Data());
    return id;
}

uint16_t CSwfWriter::DefineSprite(const CTimelineWriter& t) {
    CBitWriter w;
    uint16_t id = m_nNextId++;
    w.U16(id);
    w.U16(t.Frames());
    w.Bytes(t.TagBytes());
    w.U16(0);
    Tag(39, w.Data());
    return id;
}

static std::vector<uint8_t> Deflate(const std::vector<uint8_t>& raw) {
    uLongf n = compressBound(uLong(raw.size()));
    std::vector<uint8_t> z(n);
    compress2(z.data(), &n, raw.data(), uLong(raw.size()), 9);
    z.resize(n);
    return z;
}

uint16_t CSwfWriter::DefineBitsLossless(int wpx, int hpx, const std::vector<uint8_t>& rgba, bool alpha) {
    std::vector<uint8_t> raw;
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        uint8_t a = alpha ? rgba[i + 3] : 255;
        auto pm = [&](uint8_t v) { return uint8_t(alpha ? (v * a + 127) / 255 : v); };
        raw.insert(raw.end(), {alpha ? a : uint8_t(0), pm(rgba[i]), pm(rgba[i + 1]), pm(rgba[i + 2])});
    }
    CBitWriter w;
    uint16_t id = m_nNextId++;
    w.U16(id);
    w.U8(5);
    w.U16(uint16_t(wpx));
    w.U16(uint16_t(hpx));
    w.Bytes(Deflate(raw));
    Tag(alpha ? 36 : 20, w.Data());
    return id;
}

uint16_t CSwfWriter::DefineBitsLosslessPalette(int wpx, int hpx, const std::vector<CColorW>& palette,
                                               const std::vector<uint8_t>& indices, bool alpha) {
    std::vector<uint8_t> raw;
    for (const CColorW& c : palette) {
        auto pm = [&](uint8_t v) { return uint8_t(alpha ? (v * c.a + 127) / 255 : v); };
        raw.insert(raw.end(), {pm(c.r), pm(c.g), pm(c.b)});
        if (alpha) raw.push_back(c.a);
    }
    size_t row = (size_t(wpx) + 3) & ~size_t(3);
    for (int y = 0; y < hpx; ++y) {
        for (int x = 0; x < wpx; ++x) raw.push_back(indices[size_t(y) * wpx + x]);
        for (size_t x = size_t(wpx); x < row; ++x) raw.push_back(0);
    }
    CBitWriter w;
    uint16_t id = m_nNextId++;
    w.U16(id);
    w.U8(3);
    w.U16(uint16_t(wpx));
    w.U16(uint16_t(hpx));
    w.U8(uint8_t(palette.size() - 1));
    w.Bytes(Deflate(raw));
    Tag(alpha ? 36 : 20, w.Data());
    return id;
}

uint16_t CSwfWriter::DefineBitsJpeg2(const std::vector<uint8_t>& jpeg) {
    CBitWriter w;
    uint16_t id = m_nNextId++;
    w.U16(id);
    w.Bytes(jpeg);
    Tag(21, w.Data());
    return id;
}

uint16_t CSwfWriter::DefineBitsJpeg3(const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& alpha) {
    CBitWriter w;
    uint16_t id = m_nNextId++;
    w.U16(id);
    w.U32(uint32_t(jpeg.size()));
    w.Bytes(jpeg);
    w.Bytes(Deflate(alpha));
    Tag(35, w.Data());
    return id;
}

void CSwfWriter::JpegTables(const std::vector<uint8_t>& tables) { Tag(8, tables); }

uint16_t CSwfWriter::DefineBits(const std::vector<uint8_t>& image) {
    CBitWriter w;
    uint16_t id = m_nNextId++;
    w.U16(id);
    w.Bytes(image);
    Tag(6, w.Data());
    return id;
}

uint16_t CSwfWriter::DefineFont(const std::vector<CShapeBuilder>& glyphs, int version, const CFontLayoutW* layout) {
    std::vector<std::vector<uint8_t>> shapes;
    for (const CShapeBuilder& g : glyphs) {
        CBitWriter s;
        WriteRecords(s, g, 1, 0);
        shapes.push_back(s.Data());
    }
    CBitWriter w;
    uint16_t id = m_nNextId++;
    w.U16(id);
    if (version == 1) {
        uint32_t offset = uint32_t(2 * glyphs.size());
        for (const auto& s : shapes) {
            w.U16(uint16_t(offset));
            offset += uint32_t(s.size());
        }
        for (const auto& s : shapes) w.Bytes(s);
        Tag(10, w.Data());
        return id;
    }
    const bool bLayout = layout && !layout->advances.empty();
    // wide offsets, wide codes, layout, italic, bold
    w.U8(uint8_t(0x08 | 0x04 | (bLayout ? 0x80 : 0) | (layout && layout->italic ? 0x02 : 0) |
                 (layout && layout->bold ? 0x01 : 0)));
    w.U8(0);
    const std::string name = layout ? layout->name : "Demo";
    w.U8(uint8_t(name.size()));
    for (char c : name) w.U8(uint8_t(c));
    w.U16(uint16_t(glyphs.size()));
    // A font without glyphs has no offsets and no code table.
    if (glyphs.empty()) {
        Tag(version >= 3 ? 75 : 48, w.Data());
        return id;
    }
    uint32_t offset = uint32_t(4 * glyphs.size() + 4);
    for (const auto& s : shapes) {
        w.U32(offset);
        offset += uint32_t(s.size());
    }
    w.U32(offset);
    for (const auto& s : shapes) w.Bytes(s);
    for (size_t i = 0; i < glyphs.size(); ++i) w.U16(layout ? layout->codes.at(i) : uint16_t('A' + i));
    if (bLayout) {
        w.U16(layout->ascent);
        w.U16(layout->descent);
        w.U16(0);  // leading
        for (size_t i = 0; i < glyphs.size(); ++i) w.U16(uint16_t(layout->advances.at(i)));
        for (size_t i = 0; i < glyphs.size(); ++i) WriteRect(w, 0, 0, 0, 0);
        w.U16(0);  // no kerning pairs
    }
    Tag(version >= 3 ? 75 : 48, w.Data());
    return id;
}

uint16_t CSwfWriter::DefineText(uint16_t font, int32_t height, CColorW color, int32_t x, int32_t y,
                                const std::vector<CGlyphW>& glyphs, int version) {
    CBitWriter w;
    uint16_t id = m_nNextId++;
    w.U16(id);
    int32_t width = 0;
    uint32_t maxIndex = 0;
    int32_t maxAdvance = 0;
    for (const CGlyphW& g : glyphs) {
        width += g.advance;
        maxIndex = std::max<uint32_t>(maxIndex, g.index);
        maxAdvance = std::max(maxAdvance, std::abs(g.advance));
    }
    WriteRect(w, x, x + width, y - height, y + height / 4);
    WriteMatrix(w, CMatrixW());
    unsigned nGlyphBits = std::max(1u, CBitWriter::UnsignedBits(maxIndex));
    unsigned nAdvanceBits = CBitWriter::SignedBits(maxAdvance);
    w.U8(uint8_t(nGlyphBits));
    w.U8(uint8_t(nAdvanceBits));
    w.U8(0x80 | 0x08 | 0x04 | 0x02 | 0x01);
    w.U16(font);
    WriteColor(w, color, version >= 2);
    w.U16(uint16_t(int16_t(x)));
    w.U16(uint16_t(int16_t(y)));
    w.U16(uint16_t(height));
    w.U8(uint8_t(glyphs.size()));
    for (const CGlyphW& g : glyphs) {
        w.UB(g.index, nGlyphBits);
        w.SB(g.advance, nAdvanceBits);
    }
    w.Align();
    w.U8(0);
    Tag(version >= 2 ? 33 : 11, w.Data());
    return id;
}

uint16_t CSwfWriter::DefineEditText(const CEditTextW& t) {
    CBitWriter w;
    uint16_t id = m_nNextId++;
    w.U16(id);
    WriteRect(w, t.x0, t.x1, t.y0, t.y1);
    // has text, word wrap, multiline, password, read-only, colour, font; layout, border, HTML,
    // outlines
    w.U8(uint8_t(0x80 | (t.wordWrap ? 0x40 : 0) | (t.multiline ? 0x20 : 0) | (t.password ? 0x10 : 0) | 0x08 |
                 0x04 | 0x01));
    w.U8(uint8_t(0x20 | (t.border ? 0x08 : 0) | (t.html ? 0x02 : 0) | 0x01));
    w.U16(t.font);
    w.U16(t.height);
    WriteColor(w, t.color, true);
    w.U8(t.align);
    w.U16(t.leftMargin);
    w.U16(t.rightMargin);
    w.U16(t.indent);
    w.U16(uint16_t(t.leading));
    w.String("");
    w.String(t.text);
    Tag(37, w.Data());
    return id;
}

uint16_t CSwfWriter::DefineButton(const std::vector<CButtonRecordW>& records, int version) {
    CBitWriter w;
    uint16_t id = m_nNextId++;
    w.U16(id);
    CBitWriter recs;
    for (const CButtonRecordW& r : records) {
        recs.U8(r.states);
        recs.U16(r.id);
        recs.U16(r.depth);
        WriteMatrix(recs, r.matrix);
        if (version >= 2) {
            WriteCxform(recs, r.cxform, true);
            if (r.states & 0x10) recs.Bytes(r.filterList);
            if (r.states & 0x20) recs.U8(r.blendMode);
        }
    }
    recs.U8(0);
    const std::vector<uint8_t> action = {0x07, 0x00};  // Stop, end of actions
    if (version >= 2) {
        const std::vector<uint8_t>& recBytes = recs.Data();
        w.U8(0);                                 // not tracked as a menu
        w.U16(uint16_t(2 + recBytes.size()));    // from here to the condition actions
        w.Bytes(recBytes);
        w.U16(0);                                // the last condition action
        w.U16(0x0008);                           // on release
        w.Bytes(action);
        Tag(34, w.Data());
    } else {
        w.Bytes(recs.Data());
        w.Bytes(action);
        Tag(7, w.Data());
    }
    return id;
}

std::vector<uint8_t> CSwfWriter::Finish(bool compress) const {
    CBitWriter body;
    WriteRect(body, 0, m_nWidth * 20, 0, m_nHeight * 20);
    body.U16(uint16_t(std::lround(m_fFps * 256)));
    body.U16(m_nFrames);
    body.Bytes(m_tags);
    body.U16(0);
    std::vector<uint8_t>& b = body.Data();
    std::vector<uint8_t> out{uint8_t(compress ? 'C' : 'F'), 'W', 'S', m_nVersion};
    uint32_t len = uint32_t(b.size() + 8);
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(len >> (8 * i)));
    if (compress) {
        std::vector<uint8_t> z = Deflate(b);
        out.insert(out.end(), z.begin(), z.end());
    } else {
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

bool CSwfWriter::Save(const std::string& path, bool compress) const {
    std::vector<uint8_t> data = Finish(compress);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool bOk = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && bOk;
}

}  // namespace swfwriter
