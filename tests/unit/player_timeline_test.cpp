// Timelines: frames, loop and stop, sprites on their own timelines, the frame scripts, masks.
#include <gtest/gtest.h>

#include <functional>

#include "player/core/Limits.h"
#include "player/core/Timeline.h"
#include "player_Fixtures.h"

using namespace player;
using namespace swfwriter;
using playertest::CImage;
using playertest::Rgb;

namespace {

// A movie of n frames whose frame k shows a square at x = 2k pixels (depth 1, moved each frame).
struct CCounterMovie {
    CSwfWriter w{40, 10, 10};
    uint16_t square = 0;
    explicit CCounterMovie(int nFrames, std::function<void(CSwfWriter&, int)> extra = nullptr) {
        CShapeBuilder s;
        s.Rect(0, 0, 40, 200, s.AddFill(CFillW::SolidColor(Rgb(0, 0, 0))));
        square = w.DefineShape(s, 1);
        for (int f = 0; f < nFrames; ++f) {
            if (f == 0)
                w.Place(1, square, CMatrixW::Translate(0, 0));
            else
                w.Move(1, CMatrixW::Translate(40 * f, 0));
            if (extra) extra(w, f);
            w.ShowFrame();
        }
    }
};

// Which frame the counter movie shows, read from where its square is.
int ShownFrame(CPlayer& p) {
    CImage img = playertest::Render(p, 40, 10);
    for (int x = 0; x < 40; x += 2)
        if (img.Color(x, 5).r == 0) return x / 2;
    return -1;
}

// A script case: the counter movie of 6 frames with scripts added, and the frames it shows
// after each of 5 advances.
struct CScriptCase {
    const char* name;
    std::function<void(CSwfWriter&, int)> script;
    std::vector<int> expected;
    bool staticAtEnd;
};

template <size_t N>
void CheckScriptCases(const CScriptCase (&cases)[N]) {
    for (const CScriptCase& c : cases) {
        CCounterMovie m(6, c.script);
        CPlayer p;
        playertest::Load(p, m.w);
        std::vector<int> seen;
        for (int i = 0; i < 5; ++i) {
            p.Advance();
            seen.push_back(ShownFrame(p));
        }
        EXPECT_EQ(seen, c.expected) << c.name;
        EXPECT_EQ(p.IsStatic(), c.staticAtEnd) << c.name;
    }
}

TEST(PlayerTimeline, LoopsOrStopsOnTheLastFrame) {
    for (bool loop : {true, false}) {
        CCounterMovie m(4);
        CPlayer p;
        playertest::Load(p, m.w);
        p.SetLoop(loop);
        EXPECT_EQ(ShownFrame(p), 0);
        EXPECT_FALSE(p.IsStatic());
        std::vector<int> seen;
        for (int i = 0; i < 6; ++i) {
            p.Advance();
            seen.push_back(ShownFrame(p));
        }
        if (loop) {
            EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 0, 1, 2}));
            EXPECT_FALSE(p.IsStatic());
        } else {
            EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 3, 3, 3}));
            EXPECT_TRUE(p.IsStatic());
            EXPECT_FALSE(p.Advance());
        }
    }
}

TEST(PlayerTimeline, SingleFrameMovieIsStatic) {
    CCounterMovie m(1);
    CPlayer p;
    playertest::Load(p, m.w);
    EXPECT_TRUE(p.IsStatic());
    EXPECT_FALSE(p.Advance());
}

TEST(PlayerTimeline, FrameScriptsDriveTheTimeline) {
    const CScriptCase cases[] = {
        {"stop on frame 2", [](CSwfWriter& w, int f) { if (f == 2) w.DoAction(CActionWriter().Stop()); },
         {1, 2, 2, 2, 2}, true},
        {"goto frame 4 (index) from 1",
         [](CSwfWriter& w, int f) { if (f == 1) w.DoAction(CActionWriter().GotoFrame(4).Play()); },
         {4, 5, 0, 4, 5}, false},  // frame 1 is left before it is ever shown
        {"goto label and stop",
         [](CSwfWriter& w, int f) {
             if (f == 3) w.FrameLabel("Here");
             if (f == 1) w.DoAction(CActionWriter().GotoLabel("here"));
         },
         {3, 3, 3, 3, 3}, true},
        {"gotoFrame2 with a pushed number (1-based), playing",
         [](CSwfWriter& w, int f) { if (f == 3) w.DoAction(CActionWriter().PushNumber(2).GotoFrame2(true)); },
         {1, 2, 1, 2, 1}, false},
        {"gotoFrame2 with a pushed label",
         [](CSwfWriter& w, int f) {
             if (f == 5) w.FrameLabel("end");
             if (f == 0) w.DoAction(CActionWriter().PushString("end").GotoFrame2(false));
         },
         {5, 5, 5, 5, 5}, true},
        {"next frame goes on and stops", [](CSwfWriter& w, int f) { if (f == 1) w.DoAction(CActionWriter().NextFrame()); },
         {2, 2, 2, 2, 2}, true},
        {"unknown actions are skipped by length",
         [](CSwfWriter& w, int f) {
             if (f == 2) w.DoAction(CActionWriter().Raw(0xAA, {1, 2, 3}).Op(0x0A).Stop());
         },
         {1, 2, 2, 2, 2}, true},
        {"a jump over a stop",
         [](CSwfWriter& w, int f) { if (f == 1) w.DoAction(CActionWriter().Jump(1).Stop().Stop()); },
         {1, 1, 1, 1, 1}, true},
    };
    CheckScriptCases(cases);
}

// Scripts that decide where the timeline goes by values: properties, variables, arithmetic,
// calls. Frame numbers on the stack count from 1; the movie shows frame indexes.
TEST(PlayerTimeline, ScriptValuesDecideTheTimeline) {
    auto on = [](int frame, CActionWriter a) {
        return [frame, a](CSwfWriter& w, int f) { if (f == frame) w.DoAction(a); };
    };
    const CScriptCase cases[] = {
        {"a function body runs only when called", on(1, CActionWriter().DefineFunction("f", CActionWriter().Stop())),
         {1, 2, 3, 4, 5}, false},
        // if (loaded < total) gotoAndPlay(1): preloaders, which must find the movie loaded.
        {"a preloader finds all frames loaded",
         on(1, CActionWriter()
                   .PushString("").PushNumber(12).Op(0x22)   // _framesloaded
                   .PushString("").PushNumber(5).Op(0x22)    // _totalframes
                   .Op(0x48).Op(0x12).If(6).GotoFrame(0).Play()),
         {1, 2, 3, 4, 5}, false},
        {"a preloader finds all bytes loaded",
         on(1, CActionWriter()
                   .PushNumber(0).PushString("this").Op(0x1C).PushString("getBytesLoaded").Op(0x52)
                   .PushNumber(0).PushString("this").Op(0x1C).PushString("getBytesTotal").Op(0x52)
                   .Op(0x48).Op(0x12).If(6).GotoFrame(0).Play()),
         {1, 2, 3, 4, 5}, false},
        {"a counter in a variable goes round once, then stops",
         on(3, CActionWriter()
                   .PushString("n").PushString("n").Op(0x1C).PushNumber(1).Op(0x47).Op(0x1D)  // n = n + 1
                   .PushString("n").Op(0x1C).PushNumber(2).Op(0x48)                          // n < 2
                   .If(6).Stop().Jump(6).GotoFrame(1).Play()),
         {1, 2, 1, 2, 3}, true},
        {"arithmetic picks the frame",
         on(1, CActionWriter().PushNumber(2).PushNumber(2).Op(0x0C).PushNumber(1).Op(0x47).GotoFrame2(false)),
         {4, 4, 4, 4, 4}, true},
        {"strings join to a label",
         [](CSwfWriter& w, int f) {
             if (f == 4) w.FrameLabel("frame");
             if (f == 1) w.DoAction(CActionWriter().PushString("fr").PushString("ame").Op(0x47).GotoFrame2(false));
         },
         {4, 4, 4, 4, 4}, true},
        {"a register keeps a value",
         on(1, CActionWriter().PushNumber(3).StoreRegister(1).Op(0x17).PushRegister(1).GotoFrame2(false)),
         {2, 2, 2, 2, 2}, true},
        {"a method of _root",
         on(1, CActionWriter().PushNumber(5).PushNumber(1).PushString("_root").Op(0x1C).PushString("gotoAndStop")
                   .Op(0x52).Op(0x17)),
         {4, 4, 4, 4, 4}, true},
        {"slash-path variables: \"/:n\" set, \":n\" read on the main timeline",
         on(1, CActionWriter().PushString("/:n").PushNumber(3).Op(0x1D).PushString(":n").Op(0x1C).GotoFrame2(false)),
         {2, 2, 2, 2, 2}, true},
        {"random(1) is 0",
         on(1, CActionWriter().PushNumber(1).Op(0x30).PushNumber(3).Op(0x47).GotoFrame2(false)),
         {2, 2, 2, 2, 2}, true},
    };
    CheckScriptCases(cases);
}

// A movie's variables share one bound: sets beyond it are refused, and a clip's variables give
// their room back when the clip goes.
TEST(PlayerTimeline, VariablesAreBounded) {
    CStage stage;
    CTimelineDef def;
    def.frames.resize(1);
    CActionValue big;
    big.eType = CActionValue::EType::String;
    big.strValue.assign(MAX_SCRIPT_STRING, 'x');
    {
        CClip a(stage, def, nullptr, 0), b(stage, def, nullptr, 0);
        size_t nSet = 0;
        for (int i = 0; i < 2000; ++i) {
            CClip& clip = i % 2 ? b : a;
            const std::string name = "v" + std::to_string(i);
            clip.SetVariable(name, big);
            nSet += clip.Variable(name) ? 1 : 0;
        }
        EXPECT_LE(stage.nVariableBytes, MAX_VARIABLE_BYTES);
        EXPECT_GT(nSet, 200u);
        EXPECT_LT(nSet, 2000u);
        // Replacing a value with a small one frees room for another.
        a.SetVariable("v0", CActionValue());
        b.SetVariable("fits", big);
        EXPECT_NE(nullptr, b.Variable("fits"));
        // A timeline is stored as undefined.
        CActionValue target;
        target.eType = CActionValue::EType::Target;
        target.pTarget = &a;
        a.SetVariable("t", target);
        ASSERT_NE(nullptr, a.Variable("t"));
        EXPECT_EQ(CActionValue::EType::Undefined, a.Variable("t")->eType);
    }
    EXPECT_EQ(0u, stage.nVariableBytes);
}

TEST(PlayerTimeline, PrevFrameStops) {
    CCounterMovie m(6, [](CSwfWriter& w, int f) { if (f == 2) w.DoAction(CActionWriter().PrevFrame()); });
    CPlayer p;
    playertest::Load(p, m.w);
    p.Advance();
    p.Advance();
    EXPECT_EQ(ShownFrame(p), 1);
    EXPECT_FALSE(p.IsPlaying());
}

TEST(PlayerTimeline, ScriptLoopsAreBounded) {
    // Frame 1 jumps to 2 and frame 2 back to 1, both playing; an infinite action loop in 3.
    CCounterMovie m(4, [](CSwfWriter& w, int f) {
        if (f == 1) w.DoAction(CActionWriter().GotoFrame(2).Play());
        if (f == 2) w.DoAction(CActionWriter().GotoFrame(1).Play());
        if (f == 3) w.DoAction(CActionWriter().Jump(-5));
    });
    CPlayer p;
    playertest::Load(p, m.w);
    for (int i = 0; i < 5; ++i) p.Advance();
    SUCCEED();
}

// A sprite of 3 frames whose square walks down by 2 pixels each frame; placed at x = 0.
uint16_t WalkingSprite(CSwfWriter& w, uint16_t shape, bool stopAtEnd) {
    CTimelineWriter t;
    for (int f = 0; f < 3; ++f) {
        if (f == 0)
            t.Place(1, shape, CMatrixW());
        else
            t.Move(1, CMatrixW::Translate(0, 40 * f));
        if (f == 2 && stopAtEnd) t.DoAction(CActionWriter().Stop());
        t.ShowFrame();
    }
    return w.DefineSprite(t);
}

TEST(PlayerTimeline, SpritesPlayOnTheirOwnTimeline) {
    CSwfWriter w(10, 20, 10);
    CShapeBuilder s;
    s.Rect(0, 0, 200, 40, s.AddFill(CFillW::SolidColor(Rgb(0, 0, 0))));
    uint16_t shape = w.DefineShape(s, 1);
    uint16_t sprite = WalkingSprite(w, shape, false);
    w.Place(1, sprite, CMatrixW());
    w.ShowFrame();
    w.ShowFrame();  // two main frames: the main loop keeps the sprite instance
    CPlayer p;
    playertest::Load(p, w);
    auto row = [&]() {
        CImage img = playertest::Render(p, 10, 20);
        for (int y = 0; y < 20; ++y)
            if (img.Color(5, y).r == 0) return y;
        return -1;
    };
    std::vector<int> seen{row()};
    for (int i = 0; i < 5; ++i) {
        p.Advance();
        seen.push_back(row());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 2, 4, 0, 2, 4}));
    EXPECT_FALSE(p.IsStatic());
}

TEST(PlayerTimeline, StoppedSpriteAndStoppedMainAreStatic) {
    CSwfWriter w(10, 20, 10);
    CShapeBuilder s;
    s.Rect(0, 0, 200, 40, s.AddFill(CFillW::SolidColor(Rgb(0, 0, 0))));
    uint16_t sprite = WalkingSprite(w, w.DefineShape(s, 1), true);
    w.Place(1, sprite, CMatrixW());
    w.DoAction(CActionWriter().Stop());
    w.ShowFrame();
    w.ShowFrame();
    CPlayer p;
    playertest::Load(p, w);
    EXPECT_FALSE(p.IsStatic());  // the sprite still walks
    p.Advance();
    p.Advance();
    EXPECT_TRUE(p.IsStatic());
    EXPECT_EQ(p.GetCurrentFrame(), 0u);
}

TEST(PlayerTimeline, SetTargetStopsANamedSprite) {
    CSwfWriter w(10, 20, 10);
    CShapeBuilder s;
    s.Rect(0, 0, 200, 40, s.AddFill(CFillW::SolidColor(Rgb(0, 0, 0))));
    uint16_t sprite = WalkingSprite(w, w.DefineShape(s, 1), false);
    CPlaceW pl;
    pl.depth = 1;
    pl.id = sprite;
    pl.name = "walker";
    w.Place(pl);
    w.DoAction(CActionWriter().SetTarget("walker").Stop().SetTarget("").Stop());
    w.ShowFrame();
    w.ShowFrame();
    CPlayer p;
    playertest::Load(p, w);
    EXPECT_TRUE(p.IsStatic());
    EXPECT_FALSE(p.IsPlaying());
}

TEST(PlayerTimeline, RemoveObjectAndGoingBackRebuildTheDisplayList) {
    CCounterMovie m(3, [](CSwfWriter& w, int f) {
        if (f == 1) w.Remove(1);
        if (f == 2) w.RemoveObject1(1, 1);
    });
    CPlayer p;
    playertest::Load(p, m.w);
    EXPECT_EQ(ShownFrame(p), 0);
    p.Advance();
    EXPECT_EQ(ShownFrame(p), -1);
    p.Advance();
    p.Advance();  // loops: frame 0 places the square again
    EXPECT_EQ(ShownFrame(p), 0);
}

TEST(PlayerTimeline, SpriteThatContainsItselfIsBounded) {
    CSwfWriter w(10, 10, 10);
    // Sprite id 1 places character 1: itself. Its definition comes first, so the id is known.
    CTimelineWriter t;
    t.Place(1, 1, CMatrixW::Translate(20, 20));
    t.Place(2, 1, CMatrixW::Translate(-20, 20));
    t.ShowFrame();
    uint16_t sprite = w.DefineSprite(t);
    ASSERT_EQ(sprite, 1);
    w.Place(1, sprite, CMatrixW());
    w.ShowFrame();
    CPlayer p;
    playertest::Load(p, w);
    p.Advance();
    playertest::Render(p, 10, 10);
    SUCCEED();
}

TEST(PlayerTimeline, ClipDepthMasksTheDepthsAboveIt) {
    CSwfWriter w(20, 10, 10);
    CShapeBuilder mask, red;
    mask.Rect(0, 0, 200, 200, mask.AddFill(CFillW::SolidColor(Rgb(0, 255, 0))));  // left half
    red.Rect(0, 0, 400, 200, red.AddFill(CFillW::SolidColor(Rgb(255, 0, 0))));
    uint16_t maskId = w.DefineShape(mask, 1), redId = w.DefineShape(red, 1);
    CPlaceW pl;
    pl.depth = 1;
    pl.id = maskId;
    pl.clipDepth = 2;
    w.Place(pl);
    w.Place(2, redId, CMatrixW());                              // clipped
    w.Place(3, redId, CMatrixW::ScaleRotate(1, 0.5, 0, 0, 0));  // above the clip: the top half, whole width
    w.ShowFrame();
    CPlayer p;
    playertest::Load(p, w);
    CImage img = playertest::Render(p, 20, 10);
    EXPECT_EQ(img.Color(5, 8), (CColor{255, 0, 0, 255}));      // inside the mask
    EXPECT_EQ(img.Color(15, 8), (CColor{255, 255, 255, 255})); // outside: background, and no green
    EXPECT_EQ(img.Color(15, 2), (CColor{255, 0, 0, 255}));     // depth 3 is not clipped
}

TEST(PlayerTimeline, ScaleModesPlaceTheStage) {
    // A 40 x 10 stage of red in a 80 x 80 target.
    CSwfWriter w(40, 10, 10);
    w.SetBackground(Rgb(0, 0, 255));
    CShapeBuilder s;
    s.Rect(0, 0, 800, 200, s.AddFill(CFillW::SolidColor(Rgb(255, 0, 0))));
    w.Place(1, w.DefineShape(s, 1), CMatrixW());
    w.ShowFrame();
    CPlayer p;
    playertest::Load(p, w);
    struct {
        EScaleMode mode;
        int x, y;
        bool red;
    } cases[] = {
        {EScaleMode::ExactFit, 1, 1, true},  {EScaleMode::ExactFit, 78, 78, true},
        {EScaleMode::ShowAll, 1, 30, true},  {EScaleMode::ShowAll, 1, 20, false}, {EScaleMode::ShowAll, 1, 50, false},
        {EScaleMode::NoBorder, 1, 1, true},  {EScaleMode::NoBorder, 40, 79, true},
        {EScaleMode::NoScale, 25, 40, true}, {EScaleMode::NoScale, 15, 40, false}, {EScaleMode::NoScale, 40, 30, false},
    };
    for (const auto& c : cases) {
        CImage img = playertest::Render(p, 80, 80, c.mode);
        EXPECT_EQ(img.Color(c.x, c.y).r == 255, c.red) << int(c.mode) << " " << c.x << "," << c.y;
    }
}

TEST(PlayerTimeline, InitActionsRunOnce) {
    // DoInitAction on frame 0 stops the main timeline; after the loop comes round it must not
    // stop it again once play() restarted it.
    CCounterMovie m(3, [](CSwfWriter& w, int f) {
        if (f == 0) {
            CActionWriter a;
            a.Stop();
            std::vector<uint8_t> body{1, 0};  // the sprite id it initialises
            std::vector<uint8_t> code = a.Bytes();
            body.insert(body.end(), code.begin(), code.end());
            w.Tag(59, body);
        }
    });
    CPlayer p;
    playertest::Load(p, m.w);
    EXPECT_FALSE(p.IsPlaying());
}

}  // namespace
