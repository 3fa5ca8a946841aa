#include "saver/InputPolicy.h"

#include <gtest/gtest.h>

namespace {

TEST(MoveThreshold, FiftyPixelsStayFiftyOneClose)
{
    const CursorPoint start{100, 200};
    EXPECT_FALSE(IsBeyondMoveThreshold(start, {150, 250}));
    EXPECT_FALSE(IsBeyondMoveThreshold(start, {50, 150}));
    EXPECT_FALSE(IsBeyondMoveThreshold(start, start));
    EXPECT_TRUE(IsBeyondMoveThreshold(start, {151, 200}));
    EXPECT_TRUE(IsBeyondMoveThreshold(start, {100, 251}));
    EXPECT_TRUE(IsBeyondMoveThreshold(start, {49, 200}));
    EXPECT_TRUE(IsBeyondMoveThreshold(start, {100, 149}));
    // No overflow at the far ends of the coordinate range.
    EXPECT_TRUE(IsBeyondMoveThreshold({INT32_MIN, 0}, {INT32_MAX, 0}));
}

TEST(GracePeriod, PasswordOnlyAfterFifteenThousandMilliseconds)
{
    EXPECT_FALSE(IsPasswordDue(1000, 1000));
    EXPECT_FALSE(IsPasswordDue(1000, 16000));
    EXPECT_TRUE(IsPasswordDue(1000, 16001));
    // Across the tick counter's wrap.
    EXPECT_FALSE(IsPasswordDue(0xFFFFF000u, 0xFFFFF000u + 15000u));
    EXPECT_TRUE(IsPasswordDue(0xFFFFF000u, 0xFFFFF000u + 15001u));
    EXPECT_FALSE(IsPasswordDue(0xFFFFFFFFu, 14999u));
}

struct RowCase {
    const char* name;
    unsigned message;
    uint64_t wParam;
    PolicyDecision preview;
    PolicyDecision inPassword;
    PolicyDecision running;  // run mode, password dialog down, a close request made
};

constexpr PolicyDecision None{PolicyAction::None, true};
constexpr PolicyDecision Swallow{PolicyAction::None, false};

const RowCase kRows[] = {
    {"create", msg::kCreate, 0, {PolicyAction::RecordStartState, true}, {PolicyAction::RecordStartState, true}, {PolicyAction::RecordStartState, true}},
    {"destroy", msg::kDestroy, 0, {PolicyAction::DestructionSteps, true}, {PolicyAction::DestructionSteps, true}, {PolicyAction::DestructionSteps, true}},
    {"deactivate", msg::kActivate, 0, None, None, {PolicyAction::CloseRequest, true}},
    {"deactivate, minimised flag in high word", msg::kActivate, 0x00010000, None, None, {PolicyAction::CloseRequest, true}},
    {"activate", msg::kActivate, 1, None, None, None},
    {"app deactivate", msg::kActivateApp, 0, None, None, {PolicyAction::CloseRequest, true}},
    {"nc deactivate", msg::kNcActivate, 0, None, None, {PolicyAction::CloseRequest, true}},
    {"nc activate", msg::kNcActivate, 1, None, None, None},
    {"close", msg::kClose, 0, None, Swallow, {PolicyAction::CloseSequence, false}},
    {"set cursor", msg::kSetCursor, 0, {PolicyAction::ArrowCursor, true}, {PolicyAction::ArrowCursor, true}, {PolicyAction::NoCursor, true}},
    {"key", msg::kKeyDown, 'Q', None, None, {PolicyAction::InputCloseRequest, true}},
    {"system key", msg::kSysKeyDown, 0x73, None, None, {PolicyAction::InputCloseRequest, true}},
    {"left button", msg::kLButtonDown, 0, None, None, {PolicyAction::InputCloseRequest, true}},
    {"right button", msg::kRButtonDown, 0, None, None, {PolicyAction::InputCloseRequest, true}},
    {"middle button", msg::kMButtonDown, 0, None, None, {PolicyAction::InputCloseRequest, true}},
    {"screen save", msg::kSysCommand, msg::kScScreenSave, None, Swallow, Swallow},
    {"system close", msg::kSysCommand, msg::kScClose, None, Swallow, Swallow},
    // The low four bits are not masked off: SC_CLOSE + 2 is another command.
    {"system close, low bits set", msg::kSysCommand, msg::kScClose + 2, None, None, None},
    {"other system command", msg::kSysCommand, 0xF020, None, None, None},
    {"mouse move", msg::kMouseMove, 0, None, None, {PolicyAction::MovementTest, true}},
    {"key up", 0x0101, 'Q', None, None, None},
};

bool operator==(const PolicyDecision& a, const PolicyDecision& b)
{
    return a.action == b.action && a.bHandOn == b.bHandOn;
}

TEST(InputPolicy, EveryRowInEveryState)
{
    for (const RowCase& row : kRows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(DecideMessage(row.message, row.wParam, {true, false, true}) == row.preview);
        EXPECT_TRUE(DecideMessage(row.message, row.wParam, {false, true, true}) == row.inPassword);
        EXPECT_TRUE(DecideMessage(row.message, row.wParam, {false, false, true}) == row.running);
    }
}

TEST(InputPolicy, CloseBeforeAnyRequestDoesNothingInRunMode)
{
    const PolicyDecision d = DecideMessage(msg::kClose, 0, {false, false, false});
    EXPECT_EQ(PolicyAction::None, d.action);
    EXPECT_FALSE(d.bHandOn);
}

}  // namespace
