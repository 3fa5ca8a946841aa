#pragma once
// The configuration UI's decisions in plain C++: the credit text, the caption, when the Display
// control panel follows the dialog, which statics are drawn as links, and how the browser
// fallback reads the ".htm" association. The Win32 shells around them live beside this file.

#include <cstddef>
#include <cstdint>
#include <string>

// The text behind a stored credit: 0x1F added to each byte (modulo 256), the case of ASCII
// letters swapped, then the whole string reversed. isLeadByte, when given, names the lead bytes
// of a double-byte code page; such a byte and the one after it keep their order.
std::string UnscrambleCreditText(const char* stored, bool (*isLeadByte)(unsigned char) = nullptr);

// The caption template with each "%1" replaced by name; the name itself is not searched.
std::string FormatCaption(const std::string& captionTemplate, const std::string& name);

// The command that opens the Display control panel on its second page.
constexpr const char* DISPLAY_CONTROL_PANEL_COMMAND = "control.exe desk.cpl,@0,1";
// Only a dialog started without a parent and left with OK leads on to the control panel: with
// a parent, the control panel itself (or another program) started it.
constexpr int DIALOG_RESULT_OK = 1;  // IDOK
bool StartsDisplayControlPanel(int dialogResult, bool hasParent);

// Statics drawn as links: plain left, centred or right-aligned text (SS_LEFT 0, SS_CENTER 1,
// SS_RIGHT 2) with no other bit of the style's low byte; any other kind keeps its own look.
constexpr std::uint32_t STATIC_NOTIFY_STYLE = 0x100;  // SS_NOTIFY
bool IsLinkDrawnStyle(std::uint32_t style);

// The ".htm" fallback's registry reads, with the sizes the reads are given.
constexpr std::size_t HTM_CLASS_BUFFER = 80;     // the class name, later joined with the suffix
constexpr std::size_t OPEN_COMMAND_BUFFER = 260;
constexpr std::size_t OPEN_COMMAND_READ_SIZE = 80;  // a command of up to 79 characters is read
constexpr const char* OPEN_COMMAND_SUFFIX = "\\shell\\open\\command";

// The key path of the class's open command; false when it would not fit the class name's
// 80-byte buffer with its NUL (class names of more than 60 characters), which counts as no
// association.
bool OpenCommandKeyPath(const std::string& className, std::string& keyPath);

// The program of an open command: the text up to the first blank, then one double quote
// removed from its start and one from its end. A quoted path with a blank inside is cut at
// that blank, as the program it names would be.
std::string ProgramFromOpenCommand(const std::string& command);

constexpr const char* LINK_ERROR_TEXT = "Es kann keine Verbindung zu dieser Webseite hergestellt werden.";
