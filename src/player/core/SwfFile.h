#pragma once
// The container: signature, version, declared length, and the body after the 8-byte header,
// inflated when the movie is compressed.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/core/Geometry.h"

namespace player {

enum class ELoadError {
    None,
    Empty,                   // no bytes at all
    NotSwf,                  // no FWS/CWS/ZWS signature
    UnsupportedCompression,  // ZWS (LZMA) movies
    Corrupt,                 // the compressed stream or the header cannot be read
    TooLarge,                // beyond MAX_MOVIE_BYTES once inflated
};

const char* DescribeLoadError(ELoadError e);

struct CSwfHeader {
    uint8_t nVersion = 0;
    uint32_t nDeclaredLength = 0;
    CRect rcFrame;            // twips
    float fFrameRate = 0;     // frames per second as the movie states it (may be 0)
    uint16_t nFrameCount = 0;
};

// The uncompressed movie: header fields and the tag stream that follows them.
struct CSwfFile {
    CSwfHeader header;
    std::vector<uint8_t> body;  // everything after the 8-byte file header, inflated
    size_t nTagsOffset = 0;     // where the first tag starts in body
};

ELoadError DecodeSwfFile(const uint8_t* pData, size_t nSize, CSwfFile& out);

// Appends a zlib stream, inflated, to out, at most nLimit bytes of it. Corrupt: the stream
// was damaged before it produced anything; TooLarge: cut at the limit; a truncated or
// damaged stream keeps what it produced.
enum class EInflate { Ok, Truncated, Corrupt, TooLarge };
EInflate InflateZlib(const uint8_t* pData, size_t nSize, size_t nLimit, std::vector<uint8_t>& out);

}  // namespace player
