#pragma once
// The settings file: two fixed records of raw bytes, back to back, written by the generator
// and only ever read here. Every field is a byte or a byte array, so the structs below have
// no padding and their layout is the file's layout; the static_asserts pin each offset.

#include <cstddef>
#include <cstdint>
#include <string>

constexpr const char* SETTINGS_FILE_EXTENSION = ".dat";

struct MovieHeader {
    std::uint8_t reserved[2];     // not interpreted
    std::uint8_t nScaleMode;      // 0 frame size, 1 fit, 2 window; others act as 2
    std::uint8_t nSizePercent;    // 0..255
    std::uint8_t bLoop;           // non-zero loops
    std::uint8_t bMouseEndsSaver; // non-zero hands mouse movement to the saver
    std::uint8_t nKeyMode;        // 0, 1, 2; others act as 0
    char szKeys[32];
    char szMovie[513];            // empty: FILE0000.SWF in the data directory; else a URL
};

struct SaverTexts {
    char szName[256];
    char szDescription[4096];
    char szLinkText[256];
    char szLinkUrl[256];
    std::uint8_t reserved[5632];  // not interpreted
};

constexpr std::size_t MOVIE_HEADER_OFFSET = 0;
constexpr std::size_t SAVER_TEXTS_OFFSET = 552;
constexpr std::size_t SETTINGS_FILE_SIZE = 11048;

static_assert(sizeof(MovieHeader) == 552, "MovieHeader is 552 bytes");
static_assert(offsetof(MovieHeader, nScaleMode) == 2, "nScaleMode");
static_assert(offsetof(MovieHeader, nSizePercent) == 3, "nSizePercent");
static_assert(offsetof(MovieHeader, bLoop) == 4, "bLoop");
static_assert(offsetof(MovieHeader, bMouseEndsSaver) == 5, "bMouseEndsSaver");
static_assert(offsetof(MovieHeader, nKeyMode) == 6, "nKeyMode");
static_assert(offsetof(MovieHeader, szKeys) == 7, "szKeys");
static_assert(offsetof(MovieHeader, szMovie) == 39, "szMovie");

static_assert(sizeof(SaverTexts) == 10496, "SaverTexts is 10,496 bytes");
static_assert(offsetof(SaverTexts, szName) == 0, "szName");
static_assert(offsetof(SaverTexts, szDescription) == 256, "szDescription");
static_assert(offsetof(SaverTexts, szLinkText) == 0x1100, "szLinkText");
static_assert(offsetof(SaverTexts, szLinkUrl) == 0x1200, "szLinkUrl");
static_assert(offsetof(SaverTexts, reserved) == 0x1300, "SaverTexts tail");

static_assert(SAVER_TEXTS_OFFSET == MOVIE_HEADER_OFFSET + sizeof(MovieHeader), "records are back to back");
static_assert(SETTINGS_FILE_SIZE == SAVER_TEXTS_OFFSET + sizeof(SaverTexts), "file size");

// A record taken from however many bytes a read delivered: the bytes a short file lacks are
// zero, never whatever the memory held before, so a truncated file reads as empty fields.
MovieHeader DecodeMovieHeader(const void* bytes, std::size_t count);
SaverTexts DecodeSaverTexts(const void* bytes, std::size_t count);

// A text field up to its first NUL. The writer is meant to terminate every text inside its
// field; one that did not is taken up to the field's end and never read beyond it.
std::string FieldText(const char* field, std::size_t width);
template <std::size_t N>
std::string FieldText(const char (&field)[N]) { return FieldText(field, N); }

// True when the field holds a NUL inside its width, as the writer is meant to leave it.
template <std::size_t N>
bool FieldTerminated(const char (&field)[N])
{
    for (char c : field)
        if (c == '\0') return true;
    return false;
}

// The settings file's path: the data directory (which ends in "\"), the saver base name and
// ".dat". Empty when either part is empty, which every caller treats as a missing file.
std::string SettingsFilePath(const std::string& dataDir, const std::string& baseName);
