#include "player/core/Bitmap.h"

#include <algorithm>
#include <cstring>

#include "player/core/Limits.h"
#include "player/core/Png.h"
#include "player/core/SwfFile.h"
#include "player/core/SwfReader.h"

namespace player {

bool CheckBitmapSize(int w, int h) {
    return w > 0 && h > 0 && w <= MAX_BITMAP_DIMENSION && h <= MAX_BITMAP_DIMENSION &&
           uint64_t(w) * uint64_t(h) <= MAX_BITMAP_PIXELS;
}

static bool Reserve(size_t& nBudget, int w, int h) {
    size_t n = size_t(w) * size_t(h) * 4;
    if (n > nBudget) return false;
    nBudget -= n;
    return true;
}

// Premultiplied data from a file may still carry colour above its alpha; the compositor's
// arithmetic assumes it never does.
static uint32_t ClampPremultiplied(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
    return (uint32_t(a) << 24) | (uint32_t(std::min(r, a)) << 16) | (uint32_t(std::min(g, a)) << 8) | std::min(b, a);
}

bool DecodeLossless(CSwfReader& r, bool bAlpha, size_t& nBudget, CBitmap& out) {
    uint8_t nFormat = r.U8();
    int w = r.U16(), h = r.U16();
    size_t nColors = nFormat == 3 ? size_t(r.U8()) + 1 : 0;
    if (!r.Ok() || !CheckBitmapSize(w, h) || (nFormat != 3 && nFormat != 4 && nFormat != 5)) return false;
    if (nFormat == 4 && bAlpha) return false;
    const size_t nEntry = bAlpha ? 4 : 3;
    size_t nRow = nFormat == 3 ? (size_t(w) + 3) & ~size_t(3) : nFormat == 4 ? (size_t(w) * 2 + 3) & ~size_t(3) : size_t(w) * 4;
    size_t nExpected = nColors * nEntry + nRow * size_t(h);
    if (!Reserve(nBudget, w, h)) return false;
    std::vector<uint8_t> data;
    if (InflateZlib(r.Current(), r.Remaining(), nExpected, data) == EInflate::Corrupt) return false;
    // Missing bytes at the end read as zero, as a truncated image shows in the format's players.
    data.resize(nExpected, 0);
    out.nWidth = w;
    out.nHeight = h;
    out.pixels.assign(size_t(w) * size_t(h), 0);
    uint32_t palette[256] = {};
    for (size_t i = 0; i < nColors; ++i) {
        const uint8_t* c = &data[i * nEntry];
        palette[i] = bAlpha ? ClampPremultiplied(c[3], c[0], c[1], c[2]) : ClampPremultiplied(255, c[0], c[1], c[2]);
    }
    const uint8_t* pix = data.data() + nColors * nEntry;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = pix + nRow * size_t(y);
        uint32_t* dst = &out.pixels[size_t(y) * size_t(w)];
        for (int x = 0; x < w; ++x) {
            if (nFormat == 3) {
                dst[x] = row[x] < nColors ? palette[row[x]] : 0;
            } else if (nFormat == 4) {
                unsigned v = (unsigned(row[2 * x]) << 8) | row[2 * x + 1];
                auto c5 = [](unsigned c) { return uint8_t((c << 3) | (c >> 2)); };
                dst[x] = ClampPremultiplied(255, c5((v >> 10) & 31), c5((v >> 5) & 31), c5(v & 31));
            } else {
                const uint8_t* p = row + 4 * size_t(x);
                dst[x] = ClampPremultiplied(bAlpha ? p[0] : 255, p[1], p[2], p[3]);
            }
        }
    }
    return true;
}

std::vector<uint8_t> JoinJpegStream(const uint8_t* pTables, size_t nTables, const uint8_t* pImage,
                                    size_t nImage) {
    std::vector<uint8_t> s;
    s.reserve(nTables + nImage);
    if (pTables && nTables > 4) s.assign(pTables, pTables + nTables);
    if (pImage) s.insert(s.end(), pImage, pImage + nImage);
    // An EOI followed by an SOI can only be a boundary between two streams (inside entropy-coded
    // data 0xFF is always followed by 0x00 or a restart marker), so removing each such pair joins
    // tables and image, and drops the stray pair older movies put in front.
    std::vector<uint8_t> joined;
    joined.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (i + 3 < s.size() && s[i] == 0xff && s[i + 1] == 0xd9 && s[i + 2] == 0xff && s[i + 3] == 0xd8) {
            i += 3;
            continue;
        }
        joined.push_back(s[i]);
    }
    // A stream that lost its own SOI to a leading stray pair gets it back.
    if (joined.size() >= 2 && !(joined[0] == 0xff && joined[1] == 0xd8)) {
        joined.insert(joined.begin(), {0xff, 0xd8});
    }
    return joined;
}

bool DecodeJpegImage(IJpegDecoder* pDecoder, const std::vector<uint8_t>& stream, const uint8_t* pAlpha,
                     size_t nAlpha, size_t& nBudget, CBitmap& out) {
    static const uint8_t kPng[4] = {0x89, 'P', 'N', 'G'};
    const uint8_t* p = stream.data();
    size_t n = stream.size();
    // JoinJpegStream put an SOI in front of anything; a PNG sits behind it.
    if (n >= 6 && std::memcmp(p + 2, kPng, 4) == 0) {
        if (!DecodePng(p + 2, n - 2, MAX_BITMAP_DIMENSION, MAX_BITMAP_PIXELS, out)) return false;
    } else {
        if (!pDecoder || !pDecoder->Decode(p, n, MAX_BITMAP_DIMENSION, MAX_BITMAP_PIXELS, out)) return false;
    }
    if (!CheckBitmapSize(out.nWidth, out.nHeight) || out.pixels.size() != size_t(out.nWidth) * size_t(out.nHeight) ||
        !Reserve(nBudget, out.nWidth, out.nHeight)) {
        out = CBitmap();
        return false;
    }
    if (pAlpha && nAlpha) {
        std::vector<uint8_t> alpha;
        size_t nPixels = out.pixels.size();
        if (InflateZlib(pAlpha, nAlpha, nPixels, alpha) != EInflate::Corrupt) {
            alpha.resize(nPixels, 0);
            for (size_t i = 0; i < nPixels; ++i) {
                uint32_t c = out.pixels[i];
                uint32_t a = alpha[i];
                auto m = [a](uint32_t v) { return (v * a + 127) / 255; };
                out.pixels[i] = (a << 24) | (m((c >> 16) & 255) << 16) | (m((c >> 8) & 255) << 8) | m(c & 255);
            }
        }
    }
    return true;
}

}  // namespace player
