#pragma once
// What the stand-in control writes, one line per event, to the file named by FLASHDOUBLE_LOG_ENV:
//   create rect=L,T,R,B parent=HWND      in-place activation made its window
//   show id=N                            the window became visible; N is its child-window id
//   put dispid=D vt=T value=V            a property put (strings as 8-bit text, numbers decimal)
//   reject dispid=D                      a put refused because FLASHDOUBLE_REJECT_ENV named D
//   verb V                               IOleObject::DoVerb
//   focus                                WM_SETFOCUS reached the window
//   msg 0xMMMM wparam=0xW lparam=0xL     a keyboard or mouse message reached the window
// FLASHDOUBLE_MISC_ENV=nouiactivate makes it report OLEMISC_NOUIACTIVATE.

constexpr const char* FLASHDOUBLE_LOG_ENV = "VF_FLASHDOUBLE_LOG";
constexpr const char* FLASHDOUBLE_MISC_ENV = "VF_FLASHDOUBLE_MISC";
constexpr const char* FLASHDOUBLE_REJECT_ENV = "VF_FLASHDOUBLE_REJECT";
// The colour it paints its window with, so that a screenshot shows where the control sits.
constexpr unsigned long FLASHDOUBLE_COLOUR = 0x00A04020;  // RGB(0x20, 0x40, 0xA0)
