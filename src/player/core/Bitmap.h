#pragma once
// Decoded bitmaps, premultiplied 0xAARRGGBB like the canvas, and the decoders of the format's
// bitmap tags. JPEG decoding comes from outside the core (IJpegDecoder), because on Windows the
// platform decodes it and natively a Debian library does.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace player {

class CSwfReader;

struct CBitmap {
    int nWidth = 0, nHeight = 0;
    std::vector<uint32_t> pixels;  // premultiplied, rows top down
};

class IJpegDecoder {
public:
    virtual ~IJpegDecoder() = default;
    // Decodes one complete JPEG stream (SOI to EOI) into opaque pixels. Must refuse images
    // wider or higher than nMaxDimension or with more than nMaxPixels pixels, and must not
    // crash on damaged data.
    virtual bool Decode(const uint8_t* pData, size_t nSize, int nMaxDimension, uint32_t nMaxPixels,
                        CBitmap& out) = 0;
};

// The decoder of this build: libjpeg natively, none on Windows (the shell supplies one there).
IJpegDecoder* DefaultJpegDecoder();

bool CheckBitmapSize(int w, int h);

// DefineBitsLossless (bAlpha false) and DefineBitsLossless2, after the character id.
bool DecodeLossless(CSwfReader& r, bool bAlpha, size_t& nBudget, CBitmap& out);

// The format's JPEG data: an SOI..EOI stream, possibly with a stray EOI SOI pair in front, or
// (DefineBits) only the scan with the tables elsewhere. Joins tables and image into one stream.
std::vector<uint8_t> JoinJpegStream(const uint8_t* pTables, size_t nTables, const uint8_t* pImage,
                                    size_t nImage);

// DefineBits/DefineBitsJPEG2 image data (JPEG, or PNG in later movies), and for DefineBitsJPEG3
// the zlib-compressed alpha plane that follows it.
bool DecodeJpegImage(IJpegDecoder* pDecoder, const std::vector<uint8_t>& stream,
                     const uint8_t* pAlpha, size_t nAlpha, size_t& nBudget, CBitmap& out);

}  // namespace player
