#include "saver/InputPolicy.h"

#include <cstdlib>

PolicyDecision DecideMessage(unsigned message, uint64_t wParam, const PolicyState& state)
{
    const bool bActive = !state.bPreview && !state.bInPasswordDialog;
    switch (message) {
    case msg::kCreate:
        return {PolicyAction::RecordStartState, true};
    case msg::kDestroy:
        return {PolicyAction::DestructionSteps, true};
    case msg::kActivate:
    case msg::kActivateApp:
    case msg::kNcActivate:
        // Only losing activation counts; the low word says which way it went.
        return {bActive && (wParam & 0xFFFF) == 0 ? PolicyAction::CloseRequest : PolicyAction::None, true};
    case msg::kClose:
        // In run mode every close goes through the close sequence, and only once a close
        // request has been made; what anyone else sends is dropped.
        if (state.bPreview)
            return {PolicyAction::None, true};
        return {bActive && state.bCloseRequested ? PolicyAction::CloseSequence : PolicyAction::None, false};
    case msg::kSetCursor:
        return {bActive ? PolicyAction::NoCursor : PolicyAction::ArrowCursor, true};
    case msg::kKeyDown:
    case msg::kSysKeyDown:
    case msg::kLButtonDown:
    case msg::kRButtonDown:
    case msg::kMButtonDown:
        return {bActive ? PolicyAction::InputCloseRequest : PolicyAction::None, true};
    case msg::kSysCommand:
        // Compared whole: a second saver (SC_SCREENSAVE) or Alt+F4's SC_CLOSE must not get past.
        if (wParam == msg::kScScreenSave || wParam == msg::kScClose)
            return {PolicyAction::None, state.bPreview};
        return {PolicyAction::None, true};
    case msg::kMouseMove:
        return {bActive ? PolicyAction::MovementTest : PolicyAction::None, true};
    default:
        return {PolicyAction::None, true};
    }
}

bool IsBeyondMoveThreshold(CursorPoint start, CursorPoint now)
{
    const int64_t dx = static_cast<int64_t>(now.x) - start.x;
    const int64_t dy = static_cast<int64_t>(now.y) - start.y;
    return std::llabs(dx) > MOUSE_MOVE_THRESHOLD || std::llabs(dy) > MOUSE_MOVE_THRESHOLD;
}

bool IsPasswordDue(uint32_t dwStartTick, uint32_t dwNowTick)
{
    const uint32_t elapsed = dwNowTick - dwStartTick;
    return elapsed > static_cast<uint32_t>(PASSWORD_GRACE_SECONDS) * 1000u;
}
