// The saver window's input policy: which message ends the saver, which is swallowed, and when
// the password is asked. Plain C++; SaverWnd.cpp carries out what it decides.
#pragma once

#include <cstdint>

constexpr int32_t MOUSE_MOVE_THRESHOLD = 50;    // pixels per axis
constexpr int32_t PASSWORD_GRACE_SECONDS = 15;

// The window messages the policy looks at, with their Win32 values.
namespace msg {
constexpr unsigned kCreate = 0x0001;
constexpr unsigned kDestroy = 0x0002;
constexpr unsigned kActivate = 0x0006;
constexpr unsigned kClose = 0x0010;
constexpr unsigned kActivateApp = 0x001C;
constexpr unsigned kSetCursor = 0x0020;
constexpr unsigned kNcActivate = 0x0086;
constexpr unsigned kKeyDown = 0x0100;
constexpr unsigned kSysKeyDown = 0x0104;
constexpr unsigned kSysCommand = 0x0112;
constexpr unsigned kMouseMove = 0x0200;
constexpr unsigned kLButtonDown = 0x0201;
constexpr unsigned kRButtonDown = 0x0204;
constexpr unsigned kMButtonDown = 0x0207;
constexpr uint64_t kScClose = 0xF060;
constexpr uint64_t kScScreenSave = 0xF140;
}  // namespace msg

enum class PolicyAction {
    None,
    RecordStartState,     // start tick, start cursor, "ended by input" := preview width
    DestructionSteps,     // quit message, time-out written back unless ended by input
    CloseRequest,         // mark and post WM_CLOSE
    InputCloseRequest,    // the same, and remember that input ended the saver
    CloseSequence,        // grace period, password, running flag, DestroyWindow
    ArrowCursor,
    NoCursor,
    MovementTest,         // input close request if the cursor moved beyond the threshold
};

struct PolicyDecision {
    PolicyAction action;
    bool bHandOn;  // false: the message is swallowed and WindowProc returns 0
};

struct PolicyState {
    bool bPreview;           // m_nPreviewWidth != 0
    bool bInPasswordDialog;  // g_bInPasswordDialog
    bool bCloseRequested;    // g_bCloseRequested
};

PolicyDecision DecideMessage(unsigned message, uint64_t wParam, const PolicyState& state);

struct CursorPoint {
    int32_t x;
    int32_t y;
};

// More than MOUSE_MOVE_THRESHOLD pixels away from the start on either axis.
bool IsBeyondMoveThreshold(CursorPoint start, CursorPoint now);

// Whether the password is asked: only after more than the grace period, measured on the
// tick counter, which wraps at 2^32 milliseconds (about 49.7 days).
bool IsPasswordDue(uint32_t dwStartTick, uint32_t dwNowTick);
