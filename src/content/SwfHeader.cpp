#include "content/SwfHeader.h"

namespace {

constexpr std::size_t RECT_BYTE = 8;
constexpr int FIELD_COUNT = 4;
constexpr int FIELD_XMAX = 1;
constexpr int FIELD_YMAX = 3;
constexpr std::uint32_t TWIPS_PER_PIXEL = 20;

} // namespace

int ProbeSwfHeader(std::uint8_t (&buffer)[SWF_PROBE_BYTES], std::uint32_t& width, std::uint32_t& height)
{
    if (buffer[0] != 0x46 || buffer[1] != 0x57 || buffer[2] != 0x53)
        return 0;

    const int nBits = buffer[RECT_BYTE] >> 3;
    buffer[RECT_BYTE] = static_cast<std::uint8_t>(buffer[RECT_BYTE] << 5);

    // p counts bit places 1 (most significant) to 8 in the byte as it stood before shifting;
    // the top bit of buffer[i] is always the next bit to read. At most 5 + 4 * 31 bits are
    // read, so i never passes byte 24.
    std::size_t i = RECT_BYTE;
    int p = 6;
    for (int field = 0; field < FIELD_COUNT; ++field) {
        for (int k = nBits - 1; k >= 0; --k) {
            if (buffer[i] & 0x80) {
                if (field == FIELD_XMAX) width += std::uint32_t{1} << k;
                else if (field == FIELD_YMAX) height += std::uint32_t{1} << k;
            }
            buffer[i] = static_cast<std::uint8_t>(buffer[i] << 1);
            if (p == 8) {
                ++i;
                p = 1;
            } else {
                ++p;
            }
        }
    }
    width /= TWIPS_PER_PIXEL;
    height /= TWIPS_PER_PIXEL;
    return 1;
}

SwfSignature ClassifySwfSignature(const std::uint8_t* bytes, std::size_t count)
{
    if (count < 3)
        return SwfSignature::NotSwf;
    if (bytes[1] != 0x57 || bytes[2] != 0x53)
        return SwfSignature::NotSwf;
    if (bytes[0] == 0x46) return SwfSignature::Uncompressed;
    if (bytes[0] == 0x43) return SwfSignature::Compressed;
    return SwfSignature::NotSwf;
}

std::size_t SwfHeaderBytesNeeded(const std::uint8_t (&buffer)[SWF_PROBE_BYTES])
{
    const std::size_t bits = 5 + 4 * static_cast<std::size_t>(buffer[RECT_BYTE] >> 3);
    return RECT_BYTE + (bits + 7) / 8;
}
