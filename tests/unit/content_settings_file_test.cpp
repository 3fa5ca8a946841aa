#include "content/SettingsFile.h"
#include "content/SettingsWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A file whose every byte is its offset's low byte mixed with a marker, so a field read from
// the wrong offset shows.
std::vector<std::uint8_t> PatternFile()
{
    std::vector<std::uint8_t> bytes(SETTINGS_FILE_SIZE);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 7 + 3) | 1);  // never NUL
    return bytes;
}

std::uint8_t PatternAt(std::size_t offset) { return PatternFile()[offset]; }

TEST(SettingsRecords, FieldsSitAtTheirFileOffsets)
{
    const std::vector<std::uint8_t> file = PatternFile();
    const MovieHeader header = DecodeMovieHeader(file.data(), file.size());
    const SaverTexts texts = DecodeSaverTexts(file.data() + SAVER_TEXTS_OFFSET, file.size() - SAVER_TEXTS_OFFSET);

    EXPECT_EQ(header.nScaleMode, PatternAt(2));
    EXPECT_EQ(header.nSizePercent, PatternAt(3));
    EXPECT_EQ(header.bLoop, PatternAt(4));
    EXPECT_EQ(header.bMouseEndsSaver, PatternAt(5));
    EXPECT_EQ(header.nKeyMode, PatternAt(6));

    struct Text {
        const char* name;
        std::string value;
        std::size_t fileOffset;
        std::size_t width;
    };
    const Text fields[] = {
        {"szKeys", FieldText(header.szKeys), 7, 32},
        {"szMovie", FieldText(header.szMovie), 39, 513},
        {"szName", FieldText(texts.szName), 552, 256},
        {"szDescription", FieldText(texts.szDescription), 808, 4096},
        {"szLinkText", FieldText(texts.szLinkText), 4904, 256},
        {"szLinkUrl", FieldText(texts.szLinkUrl), 5160, 256},
    };
    for (const Text& f : fields) {
        // Unterminated in the pattern: each is taken whole and stops at its own end.
        ASSERT_EQ(f.value.size(), f.width) << f.name;
        EXPECT_EQ(static_cast<std::uint8_t>(f.value.front()), PatternAt(f.fileOffset)) << f.name;
        EXPECT_EQ(static_cast<std::uint8_t>(f.value.back()), PatternAt(f.fileOffset + f.width - 1)) << f.name;
    }
}

TEST(SettingsRecords, ShortInputReadsAsZeroBeyondItsEnd)
{
    // The source holds more bytes than it says; none past the count may be taken.
    std::vector<std::uint8_t> source(SETTINGS_FILE_SIZE, 0xAA);
    const std::size_t counts[] = {0, 1, 3, 6, 7, 38, 39, 100, 551};
    for (std::size_t count : counts) {
        const MovieHeader header = DecodeMovieHeader(source.data(), count);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&header);
        for (std::size_t i = 0; i < sizeof header; ++i)
            ASSERT_EQ(bytes[i], i < count ? 0xAA : 0) << "count " << count << ", byte " << i;
    }
    const SaverTexts texts = DecodeSaverTexts(source.data(), 300);
    EXPECT_EQ(FieldText(texts.szName).size(), 256u);
    EXPECT_EQ(FieldText(texts.szDescription).size(), 300u - 256u);
    EXPECT_EQ(FieldText(texts.szLinkUrl), "");

    const MovieHeader none = DecodeMovieHeader(nullptr, 552);
    EXPECT_EQ(none.nScaleMode, 0);
    EXPECT_EQ(FieldText(none.szMovie), "");
}

TEST(SettingsRecords, TextsEndAtTheirFirstNul)
{
    MovieHeader header;
    std::memset(&header, 'x', sizeof header);
    std::memset(header.szKeys, 'k', 31);
    header.szKeys[31] = '\0';  // file offset 38
    std::memcpy(header.szMovie, "http://a/b.swf\0junk", 19);
    EXPECT_EQ(FieldText(header.szKeys), std::string(31, 'k'));
    EXPECT_EQ(FieldText(header.szMovie), "http://a/b.swf");
    EXPECT_TRUE(FieldTerminated(header.szKeys));

    header.szKeys[31] = 'k';  // the 'x' of szMovie follows; it must not be taken
    header.szMovie[0] = 'x';
    EXPECT_EQ(FieldText(header.szKeys), std::string(32, 'k'));
    EXPECT_FALSE(FieldTerminated(header.szKeys));
}

TEST(SettingsFilePath, JoinsDirectoryBaseNameAndExtension)
{
    EXPECT_EQ(SettingsFilePath("C:\\PROGRA~1\\Wald\\", "Mein Schoner"), "C:\\PROGRA~1\\Wald\\Mein Schoner.dat");
    EXPECT_EQ(SettingsFilePath("C:\\", "Wald.und.See"), "C:\\Wald.und.See.dat");
    EXPECT_EQ(SettingsFilePath("", "Wald"), "");
    EXPECT_EQ(SettingsFilePath("C:\\", ""), "");
}

TEST(SettingsWriter, RoundTripsEveryField)
{
    SaverSettings s;
    s.strName = "Wald";
    s.strDescription = "Ein Wald\r\nim Regen";
    s.strLinkText = "www.example.com";
    s.strLinkUrl = "http://www.example.com/";
    s.strMovie = "http://example.com/m.swf";
    s.strKeys = std::string(31, 'a');
    s.nScaleMode = 7;
    s.nSizePercent = 150;
    s.bLoop = 2;
    s.bMouseEndsSaver = 0;
    s.nKeyMode = 9;
    MovieHeader header;
    SaverTexts texts;
    std::string error;
    ASSERT_TRUE(EncodeSettings(s, header, texts, error)) << error;
    const std::vector<std::uint8_t> file = SettingsFileBytes(header, texts);
    ASSERT_EQ(file.size(), SETTINGS_FILE_SIZE);

    const MovieHeader h = DecodeMovieHeader(file.data(), file.size());
    const SaverTexts t = DecodeSaverTexts(file.data() + SAVER_TEXTS_OFFSET, file.size() - SAVER_TEXTS_OFFSET);
    EXPECT_EQ(file[38], 0);
    EXPECT_EQ(h.nScaleMode, 7);
    EXPECT_EQ(h.nSizePercent, 150);
    EXPECT_EQ(h.bLoop, 2);
    EXPECT_EQ(h.bMouseEndsSaver, 0);
    EXPECT_EQ(h.nKeyMode, 9);
    EXPECT_EQ(FieldText(h.szKeys), s.strKeys);
    EXPECT_EQ(FieldText(h.szMovie), s.strMovie);
    EXPECT_EQ(FieldText(t.szName), s.strName);
    EXPECT_EQ(FieldText(t.szDescription), s.strDescription);
    EXPECT_EQ(FieldText(t.szLinkText), s.strLinkText);
    EXPECT_EQ(FieldText(t.szLinkUrl), s.strLinkUrl);
}

TEST(SettingsWriter, RefusesTextsThatDoNotFit)
{
    struct Case {
        const char* what;
        void (*set)(SaverSettings&);
        const char* fieldInMessage;
    };
    const Case cases[] = {
        {"32 keys", [](SaverSettings& s) { s.strKeys = std::string(32, 'a'); }, "keys"},
        {"513-character URL", [](SaverSettings& s) { s.strMovie = std::string(513, 'u'); }, "movie URL"},
        {"256-character name", [](SaverSettings& s) { s.strName = std::string(256, 'n'); }, "name"},
        {"4096-character description", [](SaverSettings& s) { s.strDescription = std::string(4096, 'd'); },
         "description"},
        {"a NUL inside the name", [](SaverSettings& s) { s.strName = std::string("a\0b", 3); }, "NUL"},
    };
    for (const Case& c : cases) {
        SaverSettings s;
        c.set(s);
        MovieHeader header;
        SaverTexts texts;
        std::string error;
        EXPECT_FALSE(EncodeSettings(s, header, texts, error)) << c.what;
        EXPECT_NE(error.find(c.fieldInMessage), std::string::npos) << c.what << ": " << error;
    }
}

} // namespace
