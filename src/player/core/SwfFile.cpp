#include "player/core/SwfFile.h"

#include <zlib.h>

#include <algorithm>

#include "player/core/Limits.h"
#include "player/core/SwfReader.h"

namespace player {

const char* DescribeLoadError(ELoadError e) {
    switch (e) {
    case ELoadError::None: return "no error";
    case ELoadError::Empty: return "the movie is empty";
    case ELoadError::NotSwf: return "not an SWF movie (no FWS, CWS or ZWS signature)";
    case ELoadError::UnsupportedCompression: return "LZMA-compressed (ZWS) movies are not supported";
    case ELoadError::Corrupt: return "the movie is damaged";
    case ELoadError::TooLarge: return "the movie is too large";
    }
    return "unknown error";
}

EInflate InflateZlib(const uint8_t* pData, size_t nSize, size_t nLimit, std::vector<uint8_t>& out) {
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return EInflate::Corrupt;
    size_t nStart = out.size();
    zs.next_in = const_cast<Bytef*>(pData);
    zs.avail_in = uInt(std::min<size_t>(nSize, 0x7fffffff));
    EInflate result = EInflate::Truncated;
    uint8_t chunk[16384];
    for (;;) {
        zs.next_out = chunk;
        zs.avail_out = sizeof chunk;
        int rc = inflate(&zs, Z_NO_FLUSH);
        size_t nGot = sizeof chunk - zs.avail_out;
        size_t nRoom = nLimit - (out.size() - nStart);
        out.insert(out.end(), chunk, chunk + std::min(nGot, nRoom));
        if (nGot > nRoom) {
            result = EInflate::TooLarge;
            break;
        }
        if (rc == Z_STREAM_END) {
            result = EInflate::Ok;
            break;
        }
        if (rc == Z_BUF_ERROR || (rc == Z_OK && nGot == 0 && zs.avail_in == 0)) break;
        if (rc != Z_OK) {
            result = out.size() == nStart ? EInflate::Corrupt : EInflate::Truncated;
            break;
        }
    }
    inflateEnd(&zs);
    return result;
}

ELoadError DecodeSwfFile(const uint8_t* pData, size_t nSize, CSwfFile& out) {
    out = CSwfFile();
    if (!pData || nSize == 0) return ELoadError::Empty;
    if (nSize < 8 || pData[1] != 'W' || pData[2] != 'S') return ELoadError::NotSwf;
    CSwfReader head(pData, 8);
    head.Skip(3);
    out.header.nVersion = head.U8();
    out.header.nDeclaredLength = head.U32();
    // The declared length counts the 8 header bytes; tools write it wrongly often enough that
    // it only bounds what is inflated, never decides whether the movie plays.
    size_t nBodyLimit = out.header.nDeclaredLength > 8 ? out.header.nDeclaredLength - 8 : 0;
    switch (pData[0]) {
    case 'F':
        if (nSize - 8 > MAX_MOVIE_BYTES) return ELoadError::TooLarge;
        out.body.assign(pData + 8, pData + nSize);
        break;
    case 'C': {
        if (nBodyLimit > MAX_MOVIE_BYTES) return ELoadError::TooLarge;
        // A stream longer than declared is cut at the declared length; a truncated one keeps
        // what it holds.
        if (InflateZlib(pData + 8, nSize - 8, nBodyLimit, out.body) == EInflate::Corrupt) return ELoadError::Corrupt;
        break;
    }
    case 'Z':
        return ELoadError::UnsupportedCompression;
    default:
        return ELoadError::NotSwf;
    }
    CSwfReader r(out.body.data(), out.body.size());
    out.header.rcFrame = r.Rect();
    out.header.fFrameRate = r.U16() / 256.0f;
    out.header.nFrameCount = r.U16();
    if (!r.Ok()) return ELoadError::Corrupt;
    out.nTagsOffset = r.Position();
    return ELoadError::None;
}

}  // namespace player

