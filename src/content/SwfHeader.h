#pragma once
// The movie's first bytes: whether it is an uncompressed SWF movie and its frame size.

#include <cstddef>
#include <cstdint>

constexpr std::size_t SWF_PROBE_BYTES = 32;

// Returns 1 when the buffer starts with "FWS" and adds the frame's Xmax and Ymax, in pixels,
// to width and height (the caller zeroes both first); returns 0 and touches nothing otherwise.
// The rectangle's fields are read unsigned, and each bit read is shifted out of its byte.
int ProbeSwfHeader(std::uint8_t (&buffer)[SWF_PROBE_BYTES], std::uint32_t& width, std::uint32_t& height);

// Why a buffer passes or fails the probe, for tools that explain it to a person.
enum class SwfSignature { Uncompressed, Compressed, NotSwf };
SwfSignature ClassifySwfSignature(const std::uint8_t* bytes, std::size_t count);

// How many of the movie's first bytes the frame rectangle occupies (at least 9, at most 25):
// a shorter movie leaves the rest of its rectangle to the zeros the caller filled in.
std::size_t SwfHeaderBytesNeeded(const std::uint8_t (&buffer)[SWF_PROBE_BYTES]);
