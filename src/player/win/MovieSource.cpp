#include "player/win/MovieSource.h"

#include "framework/File.h"
#include "framework/InternetSession.h"
#include "movie/MovieStartup.h"
#include "player/core/Limits.h"
#include "player/win/ControlPlayback.h"

#include <memory>

namespace player {

namespace {

constexpr UINT READ_CHUNK = 64 * 1024;

// Appends chunks until the source ends; false when it holds more than a movie may.
template <typename ReadFn>
bool ReadWhole(ReadFn read, std::vector<uint8_t>& bytes)
{
    for (;;) {
        const size_t nOld = bytes.size();
        if (nOld > MAX_MOVIE_BYTES)
            return false;
        bytes.resize(nOld + READ_CHUNK);
        const UINT nGot = read(bytes.data() + nOld, READ_CHUNK);
        bytes.resize(nOld + nGot);
        if (nGot < READ_CHUNK)
            return bytes.size() <= MAX_MOVIE_BYTES;
    }
}

std::vector<uint8_t> FetchFile(const std::string& strPath)
{
    std::vector<uint8_t> bytes;
    CFile file;
    if (!file.Open(strPath.c_str(), CFile::modeRead | CFile::shareDenyWrite))
        return bytes;
    // CFile::Read may return less than asked before the end; only 0 marks the end for sure.
    auto read = [&file](uint8_t* p, UINT n) {
        UINT total = 0;
        while (total < n) {
            const UINT got = file.Read(p + total, n - total);
            if (got == 0)
                break;
            total += got;
        }
        return total;
    };
    if (!ReadWhole(read, bytes))
        bytes.clear();
    return bytes;
}

std::vector<uint8_t> FetchUrl(const std::string& strUrl)
{
    std::vector<uint8_t> bytes;
    try {
        CInternetSession session(INTERNET_AGENT);
        // Binary: an FTP server told "ASCII" would rewrite the movie's line-end bytes.
        std::unique_ptr<CInternetFile> pFile(session.OpenURL(strUrl.c_str(), 1, INTERNET_FLAG_TRANSFER_BINARY));
        const ULONGLONG nDeadline = ::GetTickCount64() + MOVIE_FETCH_DEADLINE_MS;
        auto read = [&](uint8_t* p, UINT n) -> UINT {
            if (::GetTickCount64() > nDeadline)
                throw CInternetException(ERROR_INTERNET_TIMEOUT);
            return pFile->Read(p, n);
        };
        if (!ReadWhole(read, bytes))
            bytes.clear();
    } catch (const CInternetException&) {
        bytes.clear();
    }
    return bytes;
}

}  // namespace

std::vector<uint8_t> FetchMovie(const std::string& strLocation)
{
    return IsInternetLocation(strLocation) ? FetchUrl(strLocation) : FetchFile(strLocation);
}

}  // namespace player
