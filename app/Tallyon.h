// Tallyon: the main program. XINIT creates the main dialog; the five button
// routines evaluate, open the parameter maintenance, save, read and quit.
#pragma once

struct XWND;

void XW_FRAME_ONBUTTON1(XWND& window, int id, int code);  // Evaluate
void XW_FRAME_ONBUTTON2(XWND& window, int id, int code);  // Parameters
void XW_FRAME_ONBUTTON3(XWND& window, int id, int code);  // Save
void XW_FRAME_ONBUTTON4(XWND& window, int id, int code);  // Read
void XW_FRAME_ONCANCEL(XWND& window, int id, int code);   // Quit
// The last results shown again, in the display format now chosen.
void showResultsAgain(XWND& window);
