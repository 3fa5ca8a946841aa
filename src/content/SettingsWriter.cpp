#include "content/SettingsWriter.h"

#include <cstring>

bool SetFieldText(char* field, std::size_t width, const std::string& text)
{
    if (text.size() >= width || text.find('\0') != std::string::npos)
        return false;
    std::memcpy(field, text.data(), text.size());
    std::memset(field + text.size(), 0, width - text.size());
    return true;
}

bool EncodeSettings(const SaverSettings& settings, MovieHeader& header, SaverTexts& texts, std::string& error)
{
    std::memset(&header, 0, sizeof header);
    std::memset(&texts, 0, sizeof texts);
    header.nScaleMode = settings.nScaleMode;
    header.nSizePercent = settings.nSizePercent;
    header.bLoop = settings.bLoop;
    header.bMouseEndsSaver = settings.bMouseEndsSaver;
    header.nKeyMode = settings.nKeyMode;

    struct TextField {
        const char* name;
        char* field;
        std::size_t width;
        const std::string* text;
    };
    const TextField fields[] = {
        {"keys", header.szKeys, sizeof header.szKeys, &settings.strKeys},
        {"movie URL", header.szMovie, sizeof header.szMovie, &settings.strMovie},
        {"name", texts.szName, sizeof texts.szName, &settings.strName},
        {"description", texts.szDescription, sizeof texts.szDescription, &settings.strDescription},
        {"link text", texts.szLinkText, sizeof texts.szLinkText, &settings.strLinkText},
        {"link URL", texts.szLinkUrl, sizeof texts.szLinkUrl, &settings.strLinkUrl},
    };
    for (const TextField& f : fields) {
        if (!SetFieldText(f.field, f.width, *f.text)) {
            error = std::string("the ") + f.name + " has " + std::to_string(f.text->size()) +
                    " characters";
            if (f.text->find('\0') != std::string::npos)
                error += " and contains a NUL byte";
            error += "; its field holds at most " + std::to_string(f.width - 1);
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> SettingsFileBytes(const MovieHeader& header, const SaverTexts& texts)
{
    std::vector<std::uint8_t> bytes(SETTINGS_FILE_SIZE);
    std::memcpy(bytes.data() + MOVIE_HEADER_OFFSET, &header, sizeof header);
    std::memcpy(bytes.data() + SAVER_TEXTS_OFFSET, &texts, sizeof texts);
    return bytes;
}
