#include "movie/MovieStartup.h"

ScreenPoint CursorHomePoint(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    return {(right - left) / 2, (bottom - top) / 2};
}

bool ShouldFetchMovieUrl(bool bSplit, bool bFileService, const std::string& strObject)
{
    return bSplit && !strObject.empty() && !bFileService;
}
