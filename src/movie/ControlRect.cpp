#include "movie/ControlRect.h"

namespace {

constexpr std::uint8_t SCALE_FRAME_SIZE = 0;
constexpr std::uint8_t SCALE_FIT = 1;
constexpr std::uint8_t SCALE_WINDOW = 2;

// Signed 32-bit results as the platform's arithmetic wraps them; computing in 64 bits first
// keeps extreme inputs from being undefined behaviour in C++.
std::int32_t Wrap32(std::int64_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

std::int32_t PercentOf(std::uint32_t pct, std::uint32_t size)
{
    return static_cast<std::int32_t>(pct * size / 100);
}

// W / H < mw / mh in double precision; a zero height gives the quotient IEEE division would,
// without dividing by zero.
bool WindowNarrowerThanMovie(std::int32_t W, std::int32_t H, std::uint32_t mw, std::uint32_t mh)
{
    const double movie = static_cast<double>(mw) / static_cast<double>(mh);
    if (H == 0)
        return W < 0;  // -inf is below every ratio; +inf and NaN are below none
    return static_cast<double>(W) / static_cast<double>(H) < movie;
}

} // namespace

ControlRect ComputeControlRect(std::int32_t W, std::int32_t H, std::uint8_t nSizePercent,
                               std::uint8_t nScaleMode, std::uint32_t mw, std::uint32_t mh)
{
    const std::int64_t pct = nSizePercent;
    std::int32_t w = Wrap32(pct * W / 100);
    std::int32_t h = Wrap32(pct * H / 100);

    if (nScaleMode != SCALE_WINDOW && mw != 0 && mh != 0) {
        if (nScaleMode == SCALE_FRAME_SIZE) {
            w = PercentOf(nSizePercent, mw);
            h = PercentOf(nSizePercent, mh);
        } else if (nScaleMode == SCALE_FIT) {
            // Unsigned 32-bit throughout, products modulo 2^32, the inner division first.
            if (WindowNarrowerThanMovie(W, H, mw, mh))
                h = PercentOf(nSizePercent, static_cast<std::uint32_t>(W) * mh / mw);
            else
                w = PercentOf(nSizePercent, static_cast<std::uint32_t>(H) * mw / mh);
        }
    }

    ControlRect rect;
    rect.left = Wrap32((static_cast<std::int64_t>(W) - w) / 2);
    rect.top = Wrap32((static_cast<std::int64_t>(H) - h) / 2);
    rect.right = Wrap32(static_cast<std::int64_t>(W) - rect.left);
    rect.bottom = Wrap32(static_cast<std::int64_t>(H) - rect.top);
    return rect;
}
