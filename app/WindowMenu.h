// The main window's system menu gains three items: "Always on Top" and
// "Remember Parameters and History", both with a check mark and both kept
// in the settings, and "About Tallyon...".
#pragma once

#include <string>

struct XWND;

// Identifiers of the added items (system commands keep their low four bits
// clear).
inline constexpr int kMenuAlwaysOnTop = 0x0110;
inline constexpr int kMenuRemember = 0x0120;
inline constexpr int kMenuAbout = 0x0130;

void addWindowMenuItems(XWND& frame);
// Carries out one of the items; false for any other command.
bool windowMenuCommand(XWND& frame, int command);
// The About box's text.
std::string aboutText();
