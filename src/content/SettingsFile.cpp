#include "content/SettingsFile.h"

#include <algorithm>
#include <cstring>

namespace {

template <typename Record>
Record DecodeRecord(const void* bytes, std::size_t count)
{
    Record record;
    std::memset(&record, 0, sizeof record);
    if (bytes != nullptr)
        std::memcpy(&record, bytes, std::min(count, sizeof record));
    return record;
}

} // namespace

MovieHeader DecodeMovieHeader(const void* bytes, std::size_t count)
{
    return DecodeRecord<MovieHeader>(bytes, count);
}

SaverTexts DecodeSaverTexts(const void* bytes, std::size_t count)
{
    return DecodeRecord<SaverTexts>(bytes, count);
}

std::string FieldText(const char* field, std::size_t width)
{
    const void* nul = std::memchr(field, '\0', width);
    std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : width;
    return std::string(field, length);
}

std::string SettingsFilePath(const std::string& dataDir, const std::string& baseName)
{
    if (dataDir.empty() || baseName.empty())
        return std::string();
    return dataDir + baseName + SETTINGS_FILE_EXTENSION;
}
