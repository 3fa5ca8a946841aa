#include "SwfHeaderBuilder.h"

std::array<std::uint8_t, SWF_PROBE_BYTES> BuildSwfHeader(const SwfRect& rect, std::uint8_t fill)
{
    std::array<std::uint8_t, SWF_PROBE_BYTES> bytes{};
    bytes.fill(fill);
    bytes[0] = 'F';
    bytes[1] = 'W';
    bytes[2] = 'S';
    bytes[3] = 6;
    for (std::size_t i = 4; i < 8; ++i)
        bytes[i] = 0;

    std::size_t bit = 8 * 8;
    const std::size_t rectEnd = bit + 5 + 4 * rect.nBits;
    for (std::size_t i = 8; i < (rectEnd + 7) / 8; ++i)
        bytes[i] = 0;
    auto put = [&](std::uint32_t value, unsigned width) {
        for (unsigned k = width; k-- > 0;) {
            if ((value >> k) & 1u)
                bytes[bit / 8] |= static_cast<std::uint8_t>(0x80u >> (bit % 8));
            ++bit;
        }
    };
    put(rect.nBits, 5);
    for (std::uint32_t field : {rect.xMin, rect.xMax, rect.yMin, rect.yMax})
        put(field, rect.nBits);
    return bytes;
}
