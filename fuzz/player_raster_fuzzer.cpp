// Any bytes as paths and paints for the rasteriser: coordinates of every size, degenerate
// matrices, strokes of every width, masks.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "player/core/Bitmap.h"
#include "player/core/Raster.h"

namespace {

class CInput {
public:
    CInput(const uint8_t* p, size_t n) : m_p(p), m_n(n) {}
    bool Empty() const { return m_n == 0; }
    uint8_t Byte() {
        if (!m_n) return 0;
        --m_n;
        return *m_p++;
    }
    float Float() {
        // Mostly canvas-sized values, sometimes raw bit patterns (huge, NaN, infinite).
        uint8_t kind = Byte();
        if (kind < 200) return (int(Byte()) - 64) * 0.37f + (kind % 7) * 0.125f;
        uint32_t bits = uint32_t(Byte()) | uint32_t(Byte()) << 8 | uint32_t(Byte()) << 16 | uint32_t(Byte()) << 24;
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

private:
    const uint8_t* m_p;
    size_t m_n;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace player;
    CInput in(data, size);
    const int w = 1 + in.Byte() % 64, h = 1 + in.Byte() % 64;
    std::vector<uint32_t> pixels(size_t(w) * size_t(h), 0);
    CCanvas canvas{pixels.data(), w, h, w};
    CPath path;
    for (int i = 0; i < 64 && !in.Empty(); ++i) {
        switch (in.Byte() % 6) {
        case 0: path.MoveTo(in.Float(), in.Float()); break;
        case 1: case 2: path.LineTo(in.Float(), in.Float()); break;
        case 3: path.QuadTo(in.Float(), in.Float(), in.Float(), in.Float()); break;
        case 4: path.Close(); break;
        case 5: path.AddCircle(in.Float(), in.Float(), in.Float()); break;
        }
    }
    CGradient gradient;
    gradient.stops = {{0, {255, 0, 0, 255}}, {in.Byte(), {0, 255, 0, 128}}, {255, {0, 0, 255, 0}}};
    gradient.eSpread = ESpread(in.Byte() % 3);
    gradient.bLinearRgb = in.Byte() & 1;
    gradient.fFocal = in.Float();
    CBitmap bitmap;
    bitmap.nWidth = 3;
    bitmap.nHeight = 2;
    bitmap.pixels = {0xffff0000u, 0x80008000u, 0xff0000ffu, 0u, 0xffffffffu, 0x40404040u};
    CPaint paint;
    paint.eType = EFillType(in.Byte() % 5);
    paint.color = {in.Byte(), in.Byte(), in.Byte(), in.Byte()};
    paint.pGradient = &gradient;
    paint.pBitmap = &bitmap;
    paint.bRepeat = in.Byte() & 1;
    paint.bSmooth = in.Byte() & 1;
    paint.matrix = CMatrix{in.Float(), in.Float(), in.Float(), in.Float(), in.Float(), in.Float()};
    paint.cxform.mr = in.Float();
    paint.cxform.aa = in.Float();
    CRasterizer rz;
    CCoverageMask mask;
    mask.Reset(w, h);
    rz.FillMask(mask, path, EFillRule::EvenOdd, nullptr);
    rz.Fill(canvas, path, in.Byte() & 1 ? EFillRule::EvenOdd : EFillRule::NonZero, paint, in.Byte() & 1 ? &mask : nullptr);
    CStrokeStyle st;
    st.fWidth = in.Float();
    st.eStartCap = ECap(in.Byte() % 3);
    st.eEndCap = ECap(in.Byte() % 3);
    st.eJoin = EJoin(in.Byte() % 3);
    st.fMiterLimit = in.Float();
    if (std::isfinite(st.fWidth) && std::fabs(st.fWidth) < 1e4f) {
        CPath outline;
        StrokePath(path, st, outline);
        rz.Fill(canvas, outline, EFillRule::NonZero, paint, nullptr);
    }
    return 0;
}
