#pragma once
// Writing settings files, as the generator does: for the saver kit and for test fixtures.
// The saver itself never writes one.

#include "content/SettingsFile.h"

#include <cstdint>
#include <string>
#include <vector>

struct SaverSettings {
    std::string strName;
    std::string strDescription;
    std::string strLinkText;
    std::string strLinkUrl;
    std::string strMovie;  // empty: FILE0000.SWF beside the settings file
    std::string strKeys;
    std::uint8_t nScaleMode = 1;
    std::uint8_t nSizePercent = 100;
    std::uint8_t bLoop = 1;
    std::uint8_t bMouseEndsSaver = 1;
    std::uint8_t nKeyMode = 0;
};

// Copies text and its NUL into field; false, leaving field untouched, when it does not fit
// or holds a NUL of its own (which a reader would take as the text's end).
bool SetFieldText(char* field, std::size_t width, const std::string& text);
template <std::size_t N>
bool SetFieldText(char (&field)[N], const std::string& text) { return SetFieldText(field, N, text); }

// Both records, every byte not set here zero. False with a message naming the first field
// whose value does not fit; the records are then incomplete and must not be written.
bool EncodeSettings(const SaverSettings& settings, MovieHeader& header, SaverTexts& texts, std::string& error);

// The file's 11,048 bytes.
std::vector<std::uint8_t> SettingsFileBytes(const MovieHeader& header, const SaverTexts& texts);
