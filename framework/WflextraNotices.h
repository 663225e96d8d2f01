// Wflextra, Windows half: notices and questions through the framework's
// message box, sounds, window timers and the dialog focus.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

void XUSERWARN(std::string_view caption, std::string_view text);
void XUSERINFO(std::string_view caption, std::string_view text);
void XUSERSTOP(std::string_view caption, std::string_view text);
// Asks a question with a standard button set (1 OK/Cancel, 2 Abort/Retry/
// Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel; anything else 4) and a
// default button position (1 to 3). Returns the position of the pressed
// button, 1 to 3.
int XUSERASK(std::string_view caption, std::string_view text,
             std::optional<int> buttons = std::nullopt,
             std::optional<int> defaultButton = std::nullopt);
// The Windows flags XUSERASK hands to the message box for these choices.
UINT userAskFlags(std::optional<int> buttons, std::optional<int> defaultButton);
// The position of a pressed button (its message-box result) in a set.
int userAskPosition(int buttonSet, int result);

bool PXPLAYSOUND_RSRC(int sound, HMODULE module = nullptr);
bool PXPLAYSOUND_FILE(std::string_view path);
bool PXPLAYSOUND_SILENCE();

bool XTIMERSTART(HWND window, int timer, int intervalMs);
bool XTIMERSTOP(HWND window, int timer);

// Asks the dialog to move the focus to a control once it handles its
// queue, so it can be asked while the dialog is still being set up.
bool XSETDIALOGFOCUS(HWND dialog, int id);
