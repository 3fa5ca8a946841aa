// The settings records from arbitrary file bytes, and the writer's round trip of what was read.
#include "content/SettingsFile.h"
#include "content/SettingsWriter.h"

#include <cstdlib>
#include <cstring>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const MovieHeader header = DecodeMovieHeader(data, size);
    const SaverTexts texts = size > SAVER_TEXTS_OFFSET ? DecodeSaverTexts(data + SAVER_TEXTS_OFFSET, size - SAVER_TEXTS_OFFSET)
                                                        : DecodeSaverTexts(nullptr, 0);

    SaverSettings settings;
    settings.strKeys = FieldText(header.szKeys);
    settings.strMovie = FieldText(header.szMovie);
    settings.strName = FieldText(texts.szName);
    settings.strDescription = FieldText(texts.szDescription);
    settings.strLinkText = FieldText(texts.szLinkText);
    settings.strLinkUrl = FieldText(texts.szLinkUrl);
    Check(settings.strKeys.size() <= sizeof header.szKeys);
    Check(settings.strMovie.size() <= sizeof header.szMovie);
    Check(settings.strDescription.size() <= sizeof texts.szDescription);
    settings.nScaleMode = header.nScaleMode;
    settings.nSizePercent = header.nSizePercent;
    settings.bLoop = header.bLoop;
    settings.bMouseEndsSaver = header.bMouseEndsSaver;
    settings.nKeyMode = header.nKeyMode;

    const bool terminated = FieldTerminated(header.szKeys) && FieldTerminated(header.szMovie) &&
                            FieldTerminated(texts.szName) && FieldTerminated(texts.szDescription) &&
                            FieldTerminated(texts.szLinkText) && FieldTerminated(texts.szLinkUrl);
    MovieHeader written;
    SaverTexts writtenTexts;
    std::string error;
    const bool encoded = EncodeSettings(settings, written, writtenTexts, error);
    Check(encoded == terminated);
    if (!encoded)
        return 0;

    const std::vector<std::uint8_t> file = SettingsFileBytes(written, writtenTexts);
    const MovieHeader again = DecodeMovieHeader(file.data(), file.size());
    const SaverTexts againTexts = DecodeSaverTexts(file.data() + SAVER_TEXTS_OFFSET, file.size() - SAVER_TEXTS_OFFSET);
    Check(std::memcmp(&again.nScaleMode, &header.nScaleMode, 5) == 0);
    Check(FieldText(again.szKeys) == settings.strKeys);
    Check(FieldText(again.szMovie) == settings.strMovie);
    Check(FieldText(againTexts.szName) == settings.strName);
    Check(FieldText(againTexts.szDescription) == settings.strDescription);
    Check(FieldText(againTexts.szLinkText) == settings.strLinkText);
    Check(FieldText(againTexts.szLinkUrl) == settings.strLinkUrl);
    return 0;
}
