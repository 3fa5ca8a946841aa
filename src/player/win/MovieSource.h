// The whole movie, from a file on this machine or from a URL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace player {

// Stops waiting for a slow server this long after the request was sent, whatever the
// per-read time-outs allow: a server that trickles bytes would otherwise hold the window.
constexpr uint32_t MOVIE_FETCH_DEADLINE_MS = 30000;

// The bytes of the movie, or nothing when it cannot be had whole: missing, unreachable,
// refused, or larger than a movie may be.
std::vector<uint8_t> FetchMovie(const std::string& strLocation);

}  // namespace player
