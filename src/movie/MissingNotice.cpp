#include "movie/MissingNotice.h"

namespace {

const char kSettingsFirst[] = "Einige Dateien fehlen!";
const char kSettingsSecond[] = "Bitte installieren Sie das Programm erneut.";
const char kMovieFirst[] = "Folgendes konnte nicht gefunden werden:";

// The remainder of C's signed division: never negative for a non-negative r, whatever the
// divisor's sign.
int Offset(int r, int room)
{
    return room == 0 ? 0 : r % room;
}

}  // namespace

NoticeLines NoticeText(unsigned nIDEvent, const std::string& strMovie)
{
    if (nIDEvent == NOTICE_MOVIE_MISSING)
        return {kMovieFirst, strMovie};
    return {kSettingsFirst, kSettingsSecond};
}

std::string JoinNoticeLines(const NoticeLines& lines)
{
    return lines.strFirst + "\r\n" + lines.strSecond;
}

int CRuntimeRandom::Next()
{
    m_state = m_state * 214013u + 2531011u;
    return static_cast<int>((m_state >> 16) & 0x7FFFu);
}

NoticeOffset PlaceNotice(CRuntimeRandom& random, int W, int H, int tw, int th)
{
    const int r1 = random.Next();
    const int r2 = random.Next();
    return {Offset(r2, W - tw), Offset(r1, H - th)};
}
