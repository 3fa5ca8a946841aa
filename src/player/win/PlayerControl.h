// Our own movie player as a windowed control, for machines without the Shockwave Flash control.
// It honours what the saver relies on from that control: in-place activation as a child window
// of the rectangle and parent its site gives, the property puts of the movie location (102),
// the scale mode (120) and the loop flag (106) through IDispatch, the keyboard focus on UI
// activation, and the keyboard and mouse messages that reach its window as the movie's input.
#pragma once

#include <windows.h>
#include <ole2.h>

// The container's fallback factory (PFN_CREATE_CONTROL_OBJECT): a new player for the Flash
// control's class id, CLASS_E_CLASSNOTAVAILABLE for any other.
HRESULT CreatePlayerControl(REFCLSID clsid, IUnknown** ppUnk);

constexpr const char* PLAYER_CONTROL_CLASS = "VfPlayerControl";
// Runs while the movie can still change and is killed when it cannot.
constexpr UINT_PTR PLAYER_FRAME_TIMER_ID = 1;
