#pragma once
// The missing-content notice: its texts, chosen by the timer id that drives it, and its random
// place. Plain C++; CMovieWnd measures and draws.

#include <cstdint>
#include <string>

constexpr unsigned NOTICE_SETTINGS_MISSING = 500;
constexpr unsigned NOTICE_MOVIE_MISSING = 1000;
constexpr unsigned NOTICE_PERIOD_MS = 7000;

// DrawTextA formats: each line centred within the wider one, "&" drawn as itself, no clipping.
constexpr unsigned NOTICE_MEASURE_FORMAT = 0x0D01;  // DT_CALCRECT | DT_NOPREFIX | DT_NOCLIP | DT_CENTER
constexpr unsigned NOTICE_DRAW_FORMAT = 0x0901;     // DT_NOPREFIX | DT_NOCLIP | DT_CENTER

struct NoticeLines {
    std::string strFirst;
    std::string strSecond;
};

// Every id but 1000 selects the texts of 500. strMovie is the movie location at drawing time.
NoticeLines NoticeText(unsigned nIDEvent, const std::string& strMovie);
std::string JoinNoticeLines(const NoticeLines& lines);

// The C runtime's rand(), as the runtime the notice's places were fixed with implements it:
// state 1 at start and never seeded, so that every run shows the same places.
class CRuntimeRandom {
public:
    int Next();

private:
    std::uint32_t m_state = 1;
};

struct NoticeOffset {
    int dx;
    int dy;
};

// Where the text rectangle (0, 0, tw, th) goes in a W x H client area: the first draw picks the
// vertical place, the second the horizontal one. A text exactly as wide (tall) as the area has
// no room to move in that direction and stays at 0 there; both draws are made all the same, so
// the sequence of later places does not depend on the text's size.
NoticeOffset PlaceNotice(CRuntimeRandom& random, int W, int H, int tw, int th);
