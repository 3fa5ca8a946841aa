#include "movie/MissingNotice.h"

#include <gtest/gtest.h>

namespace {

TEST(MovieNotice, GeneratorRepeatsTheRuntimeSequenceFromAnUnseededStart)
{
    // The first values of the C runtime's rand() when srand was never called.
    CRuntimeRandom random;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724};
    for (int want : expected)
        EXPECT_EQ(want, random.Next());
}

TEST(MovieNotice, TimerIdChoosesTheTexts)
{
    const struct {
        unsigned nIDEvent;
        const char* first;
        const char* second;
    } cases[] = {
        {500, "Einige Dateien fehlen!", "Bitte installieren Sie das Programm erneut."},
        {1000, "Folgendes konnte nicht gefunden werden:", "http://a/&b.swf"},
        {7, "Einige Dateien fehlen!", "Bitte installieren Sie das Programm erneut."},
    };
    for (const auto& c : cases) {
        const NoticeLines lines = NoticeText(c.nIDEvent, "http://a/&b.swf");
        EXPECT_EQ(c.first, lines.strFirst) << c.nIDEvent;
        EXPECT_EQ(c.second, lines.strSecond) << c.nIDEvent;
        EXPECT_EQ(std::string(c.first) + "\r\n" + c.second, JoinNoticeLines(lines));
    }
}

TEST(MovieNotice, PlacesFollowTheDrawsVerticalFirst)
{
    struct Case {
        const char* name;
        int W, H, tw, th;
        NoticeOffset first, second;
    };
    // Draws: 41, 18467 for the first place, 6334, 26500 for the second.
    const Case cases[] = {
        {"fits", 1024, 768, 300, 32, {18467 % 724, 41 % 736}, {26500 % 724, 6334 % 736}},
        // Wider than a preview: the offset stays below tw - W and the text runs past the right edge.
        {"wider than the window", 152, 112, 260, 32, {18467 % 108, 41 % 80}, {26500 % 108, 6334 % 80}},
        // Exactly as wide or as tall as the window: no room, offset 0, and the sequence goes on.
        {"exactly as wide", 300, 768, 300, 32, {0, 41 % 736}, {0, 6334 % 736}},
        {"exactly as tall", 1024, 32, 300, 32, {18467 % 724, 0}, {26500 % 724, 0}},
        {"exactly the window", 300, 32, 300, 32, {0, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        CRuntimeRandom random;
        const NoticeOffset a = PlaceNotice(random, c.W, c.H, c.tw, c.th);
        const NoticeOffset b = PlaceNotice(random, c.W, c.H, c.tw, c.th);
        EXPECT_EQ(c.first.dx, a.dx) << c.name;
        EXPECT_EQ(c.first.dy, a.dy) << c.name;
        EXPECT_EQ(c.second.dx, b.dx) << c.name;
        EXPECT_EQ(c.second.dy, b.dy) << c.name;
    }
}

TEST(MovieNotice, OffsetStaysInsideTheRoomOverManyDraws)
{
    CRuntimeRandom random;
    for (int i = 0; i < 10000; ++i) {
        const NoticeOffset off = PlaceNotice(random, 640, 480, 633, 479);
        ASSERT_GE(off.dx, 0);
        ASSERT_LT(off.dx, 7);
        ASSERT_EQ(0, off.dy);
    }
}

}  // namespace
