#include "player/core/Png.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>

#include "player/core/Raster.h"
#include "player/core/SwfFile.h"

namespace player {

static const uint8_t PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

static void PutU32(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(uint8_t(x >> 24));
    v.push_back(uint8_t(x >> 16));
    v.push_back(uint8_t(x >> 8));
    v.push_back(uint8_t(x));
}

static void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutU32(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0L, out.data() + start, uInt(out.size() - start));
    PutU32(out, uint32_t(crc));
}

bool EncodePng(const uint32_t* pPixels, int w, int h, int nStride, std::vector<uint8_t>& out) {
    if (w <= 0 || h <= 0) return false;
    std::vector<uint8_t> raw;
    raw.reserve(size_t(h) * (size_t(w) * 4 + 1));
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        const uint32_t* row = pPixels + size_t(y) * size_t(nStride);
        for (int x = 0; x < w; ++x) {
            CColor c = Unpremultiply(row[x]);
            raw.insert(raw.end(), {c.r, c.g, c.b, c.a});
        }
    }
    uLongf nZ = compressBound(uLong(raw.size()));
    std::vector<uint8_t> z(nZ);
    if (compress2(z.data(), &nZ, raw.data(), uLong(raw.size()), 6) != Z_OK) return false;
    z.resize(nZ);
    out.assign(PNG_SIGNATURE, PNG_SIGNATURE + 8);
    std::vector<uint8_t> ihdr;
    PutU32(ihdr, uint32_t(w));
    PutU32(ihdr, uint32_t(h));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    PutChunk(out, "IHDR", ihdr);
    PutChunk(out, "IDAT", z);
    PutChunk(out, "IEND", {});
    return true;
}

static uint32_t GetU32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

static uint8_t Paeth(int a, int b, int c) {
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return uint8_t(a);
    return pb <= pc ? uint8_t(b) : uint8_t(c);
}

bool DecodePng(const uint8_t* p, size_t n, int nMaxDimension, uint32_t nMaxPixels, CBitmap& out) {
    if (n < 8 || std::memcmp(p, PNG_SIGNATURE, 8) != 0) return false;
    size_t pos = 8;
    uint32_t w = 0, h = 0;
    uint8_t depth = 0, type = 0, interlace = 0;
    std::vector<uint8_t> idat;
    uint32_t palette[256];
    std::fill(palette, palette + 256, 0xff000000u);
    bool bHeader = false;
    while (pos + 12 <= n) {
        uint32_t len = GetU32(p + pos);
        const uint8_t* type4 = p + pos + 4;
        if (len > n - pos - 12) return false;
        const uint8_t* d = p + pos + 8;
        if (std::memcmp(type4, "IHDR", 4) == 0 && len >= 13) {
            w = GetU32(d);
            h = GetU32(d + 4);
            depth = d[8];
            type = d[9];
            interlace = d[12];
            bHeader = true;
        } else if (std::memcmp(type4, "PLTE", 4) == 0) {
            for (uint32_t i = 0; i < len / 3 && i < 256; ++i)
                palette[i] = 0xff000000u | (uint32_t(d[3 * i]) << 16) | (uint32_t(d[3 * i + 1]) << 8) | d[3 * i + 2];
        } else if (std::memcmp(type4, "tRNS", 4) == 0 && type == 3) {
            for (uint32_t i = 0; i < len && i < 256; ++i) palette[i] = (palette[i] & 0x00ffffffu) | (uint32_t(d[i]) << 24);
        } else if (std::memcmp(type4, "IDAT", 4) == 0) {
            idat.insert(idat.end(), d, d + len);
        } else if (std::memcmp(type4, "IEND", 4) == 0) {
            break;
        }
        pos += size_t(len) + 12;
    }
    if (!bHeader || depth != 8 || interlace != 0 || w == 0 || h == 0 || w > uint32_t(nMaxDimension) ||
        h > uint32_t(nMaxDimension) || uint64_t(w) * h > nMaxPixels)
        return false;
    int channels = type == 0 ? 1 : type == 2 ? 3 : type == 3 ? 1 : type == 4 ? 2 : type == 6 ? 4 : 0;
    if (!channels) return false;
    size_t stride = size_t(w) * size_t(channels);
    std::vector<uint8_t> raw;
    if (InflateZlib(idat.data(), idat.size(), (stride + 1) * h, raw) == EInflate::Corrupt) return false;
    if (raw.size() < (stride + 1) * h) return false;
    out.nWidth = int(w);
    out.nHeight = int(h);
    out.pixels.assign(size_t(w) * h, 0);
    std::vector<uint8_t> prev(stride, 0), cur(stride);
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* src = &raw[y * (stride + 1)];
        uint8_t filter = src[0];
        ++src;
        for (size_t i = 0; i < stride; ++i) {
            int a = i >= size_t(channels) ? cur[i - channels] : 0;
            int b = prev[i];
            int c = i >= size_t(channels) ? prev[i - channels] : 0;
            int v = src[i];
            switch (filter) {
            case 0: break;
            case 1: v += a; break;
            case 2: v += b; break;
            case 3: v += (a + b) / 2; break;
            case 4: v += Paeth(a, b, c); break;
            default: return false;
            }
            cur[i] = uint8_t(v);
        }
        uint32_t* dst = &out.pixels[size_t(y) * w];
        for (uint32_t x = 0; x < w; ++x) {
            const uint8_t* px = &cur[size_t(x) * channels];
            CColor col;
            switch (type) {
            case 0: col = {px[0], px[0], px[0], 255}; break;
            case 4: col = {px[0], px[0], px[0], px[1]}; break;
            case 2: col = {px[0], px[1], px[2], 255}; break;
            case 6: col = {px[0], px[1], px[2], px[3]}; break;
            case 3: {
                uint32_t e = palette[px[0]];
                col = {uint8_t(e >> 16), uint8_t(e >> 8), uint8_t(e), uint8_t(e >> 24)};
                break;
            }
            }
            dst[x] = Premultiply(col);
        }
        std::swap(prev, cur);
    }
    return true;
}

bool WritePngFile(const std::string& path, const CBitmap& image) {
    std::vector<uint8_t> data;
    if (!EncodePng(image.pixels.data(), image.nWidth, image.nHeight, image.nWidth, data)) return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool bOk = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && bOk;
}

bool ReadPngFile(const std::string& path, CBitmap& out) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<uint8_t> data;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
    std::fclose(f);
    return DecodePng(data.data(), data.size(), 16384, 1u << 28, out);
}

}  // namespace player
