#include "content/SettingsFileWin.h"

#include "content/DataDirectory.h"

namespace {

// ReadFile may deliver less than asked before the end of a file; reading on until it
// delivers nothing makes a short count mean a short file.
std::size_t ReadUpTo(CFile& file, void* buffer, std::size_t count)
{
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t total = 0;
    while (total < count) {
        const UINT read = file.Read(bytes + total, static_cast<UINT>(count - total));
        if (read == 0)
            break;
        total += read;
    }
    return total;
}

template <typename Record>
Record ReadRecord(CFile& file, std::size_t offset, Record (*decode)(const void*, std::size_t))
{
    unsigned char bytes[sizeof(Record)] = {};
    std::size_t count = 0;
    if (file.Seek(static_cast<LONGLONG>(offset), CFile::begin) == static_cast<LONGLONG>(offset))
        count = ReadUpTo(file, bytes, sizeof bytes);
    return decode(bytes, count);
}

} // namespace

bool OpenSettingsFile(const std::string& dataDir, CFile& file)
{
    if (dataDir.empty())
        return false;
    const std::string path = SettingsFilePath(dataDir, GetSaverBaseName());
    if (path.empty())
        return false;
    return file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite) != FALSE;
}

MovieHeader ReadMovieHeader(CFile& file)
{
    return ReadRecord(file, MOVIE_HEADER_OFFSET, DecodeMovieHeader);
}

SaverTexts ReadSaverTexts(CFile& file)
{
    return ReadRecord(file, SAVER_TEXTS_OFFSET, DecodeSaverTexts);
}
