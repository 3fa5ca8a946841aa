#pragma once
// What the movie window's start-up fixes in plain C++: its constants and the few rules that
// are arithmetic rather than platform calls.

#include <cstdint>
#include <string>

constexpr const char* DEFAULT_MOVIE_FILE = "FILE0000.SWF";
constexpr const char* INTERNET_AGENT = "Kestrune Product";
constexpr unsigned FLASH_CONTROL_ID = 123;
constexpr std::uint32_t FLASH_CONTROL_STYLE = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr std::int32_t FLASH_SCALING_MODE = 2;              // the movie stretched to the control

struct ScreenPoint {
    std::int32_t x;
    std::int32_t y;
};

// Where the cursor goes when the movie keeps the mouse: half the work area's width and height
// counted from the screen's origin, which is the work area's centre only when it starts at (0, 0).
ScreenPoint CursorHomePoint(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

// A movie location is fetched over the internet only when the platform split it, it names an
// object on its server, and it is not a file URL: a local path is never read as a file there.
bool ShouldFetchMovieUrl(bool bSplit, bool bFileService, const std::string& strObject);
