#pragma once
// Bounds that keep a hostile movie from exhausting memory or time. Every reader and every
// allocation driven by movie data checks against one of these; none of them is reached by a
// movie that an authoring tool writes for a screen saver.
#include <cstddef>
#include <cstdint>

namespace player {

constexpr size_t MAX_MOVIE_BYTES = 64u << 20;          // the body after decompression
constexpr size_t MAX_DECODED_BITMAP_BYTES = 256u << 20; // all bitmaps of one movie together
constexpr int MAX_BITMAP_DIMENSION = 8192;
constexpr uint32_t MAX_BITMAP_PIXELS = 16u << 20;
constexpr int MAX_SPRITE_NESTING = 16;                 // instances inside instances, at run time
constexpr size_t MAX_EDGES_PER_SHAPE = 200000;
constexpr size_t MAX_EDGES_PER_MOVIE = 2000000;
constexpr size_t MAX_STYLES_PER_SHAPE = 4096;
constexpr size_t MAX_DISPLAY_OBJECTS = 20000;          // across the whole display tree
constexpr size_t MAX_FRAMES = 65535;
constexpr size_t MAX_GLYPHS_PER_TEXT = 65536;
constexpr size_t MAX_DEVICE_GLYPHS = 4096;             // characters asked of the platform's fonts
constexpr size_t MAX_ACTION_STACK = 1024;
constexpr size_t MAX_VARIABLES_PER_CLIP = 1024;
constexpr size_t MAX_VARIABLE_BYTES = 16u << 20;       // all variables of a movie together
constexpr size_t MAX_SCRIPT_STRING = 64u << 10;        // characters in a string a script makes

}  // namespace player
