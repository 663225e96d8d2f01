// The main window's system menu gains three items: "Always on Top" and
// "Remember Parameters and History", both with a check mark and both kept
// in the settings, and "About Tallyon...".
#pragma once

#include <windows.h>

#include <string>

struct XWND;

// Identifiers of the added items (system commands keep their low four bits
// clear).
inline constexpr int kMenuAlwaysOnTop = 0x0110;
inline constexpr int kMenuRemember = 0x0120;
inline constexpr int kMenuAbout = 0x0130;
// The "Result Display" submenu: a notation, significant digits, the polar
// form. Notation n (DisplayFormat::Notation) is kMenuNotation + 16 n; d
// digits are kMenuDigits + 16 d.
inline constexpr int kMenuNotation = 0x0200;
inline constexpr int kMenuDigits = 0x0300;
inline constexpr int kMenuPolar = 0x0500;

// The window menu's item that holds the display choices.
inline constexpr char kDisplayItem[] = "Result &Display";

void addWindowMenuItems(XWND& frame);
// The display submenu made again, so that its marks show the present choices.
void refreshWindowMenu(XWND& frame);
// Carries out one of the items; false for any other command.
bool windowMenuCommand(XWND& frame, int command);
// The display choices as a menu (the window menu's submenu, the result
// fields' right-click menu), with the present ones marked.
HMENU displayMenu();
// A display choice made: kept in the settings, and the results shown again.
bool displayCommand(XWND& frame, int command);
// The About box's text.
std::string aboutText();
