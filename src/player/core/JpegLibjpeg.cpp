// Native JPEG decoding through libjpeg (Debian's libjpeg62-turbo).
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "player/core/Bitmap.h"

namespace player {

namespace {

struct CJpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

extern "C" void OnJpegError(j_common_ptr cinfo) {
    // libjpeg's default handler ends the process; a damaged image must only fail to decode.
    std::longjmp(reinterpret_cast<CJpegError*>(cinfo->err)->jump, 1);
}

extern "C" void OnJpegMessage(j_common_ptr, int) {}

class CLibjpegDecoder : public IJpegDecoder {
public:
    bool Decode(const uint8_t* pData, size_t nSize, int nMaxDimension, uint32_t nMaxPixels,
                CBitmap& out) override;
};

bool CLibjpegDecoder::Decode(const uint8_t* pData, size_t nSize, int nMaxDimension, uint32_t nMaxPixels,
                             CBitmap& out) {
    out = CBitmap();
    if (!pData || nSize < 4) return false;
    jpeg_decompress_struct cinfo;
    CJpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    err.mgr.emit_message = OnJpegMessage;
    // Rows are decoded into out directly, so nothing with a destructor lives between here and
    // a longjmp back.
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        out.pixels.clear();
        out.nWidth = out.nHeight = 0;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = 256L << 20;
    jpeg_mem_src(&cinfo, const_cast<unsigned char*>(pData), static_cast<unsigned long>(nSize));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > unsigned(nMaxDimension) ||
        cinfo.image_height > unsigned(nMaxDimension) ||
        uint64_t(cinfo.image_width) * cinfo.image_height > nMaxPixels) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const unsigned w = cinfo.output_width, h = cinfo.output_height;
    out.nWidth = int(w);
    out.nHeight = int(h);
    // One extra row at the end takes each scanline before it is spread into pixels.
    out.pixels.assign(size_t(w) * (h + 1), 0);
    uint8_t* pScratch = reinterpret_cast<uint8_t*>(&out.pixels[size_t(w) * h]);
    while (cinfo.output_scanline < h) {
        unsigned y = cinfo.output_scanline;
        JSAMPROW row = pScratch;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
        uint32_t* dst = &out.pixels[size_t(y) * w];
        for (unsigned x = 0; x < w; ++x)
            dst[x] = 0xff000000u | (uint32_t(pScratch[3 * x]) << 16) | (uint32_t(pScratch[3 * x + 1]) << 8) | pScratch[3 * x + 2];
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    out.pixels.resize(size_t(w) * h);
    return true;
}

}  // namespace

IJpegDecoder* DefaultJpegDecoder() {
    static CLibjpegDecoder decoder;
    return &decoder;
}

}  // namespace player
