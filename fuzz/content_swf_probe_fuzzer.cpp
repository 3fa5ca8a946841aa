// ProbeSwfHeader on arbitrary first bytes, checked against a plain bit reader, and the control
// rectangle computed from what it found for an arbitrary window and settings.
#include "content/SwfHeader.h"
#include "movie/ControlRect.h"

#include <cstdlib>
#include <cstring>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::uint32_t Bits(const std::uint8_t* bytes, std::size_t& bit, unsigned count)
{
    std::uint32_t value = 0;
    for (unsigned k = 0; k < count; ++k, ++bit)
        value = (value << 1) | ((bytes[bit / 8] >> (7 - bit % 8)) & 1u);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t buffer[SWF_PROBE_BYTES] = {};
    std::memcpy(buffer, data, size < SWF_PROBE_BYTES ? size : SWF_PROBE_BYTES);
    std::uint8_t before[SWF_PROBE_BYTES];
    std::memcpy(before, buffer, SWF_PROBE_BYTES);

    std::uint32_t width = 0, height = 0;
    const int result = ProbeSwfHeader(buffer, width, height);
    const bool fws = before[0] == 'F' && before[1] == 'W' && before[2] == 'S';
    Check(result == (fws ? 1 : 0));
    if (!fws) {
        Check(width == 0 && height == 0);
        Check(std::memcmp(before, buffer, SWF_PROBE_BYTES) == 0);
        return 0;
    }

    std::size_t bit = 64;
    const unsigned nBits = Bits(before, bit, 5);
    Bits(before, bit, nBits);
    const std::uint32_t xMax = Bits(before, bit, nBits);
    Bits(before, bit, nBits);
    const std::uint32_t yMax = Bits(before, bit, nBits);
    Check(width == xMax / 20 && height == yMax / 20);
    // Bytes before the rectangle and after its last byte are never touched.
    const std::size_t lastByte = (bit - 1) / 8;
    Check(std::memcmp(before, buffer, 8) == 0);
    Check(lastByte + 1 == SwfHeaderBytesNeeded(before));
    Check(std::memcmp(before + lastByte + 1, buffer + lastByte + 1, SWF_PROBE_BYTES - lastByte - 1) == 0);

    if (size >= SWF_PROBE_BYTES + 10) {
        std::int32_t w, h;
        std::memcpy(&w, data + SWF_PROBE_BYTES, 4);
        std::memcpy(&h, data + SWF_PROBE_BYTES + 4, 4);
        const ControlRect r = ComputeControlRect(w, h, data[SWF_PROBE_BYTES + 8], data[SWF_PROBE_BYTES + 9],
                                                 width, height);
        // Symmetric about the window's centre, whatever the sizes (modulo the 32-bit wrap).
        Check(static_cast<std::uint32_t>(r.left) + static_cast<std::uint32_t>(r.right) == static_cast<std::uint32_t>(w));
        Check(static_cast<std::uint32_t>(r.top) + static_cast<std::uint32_t>(r.bottom) == static_cast<std::uint32_t>(h));
    }
    return 0;
}
