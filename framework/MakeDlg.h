// MakeDlg: dialogs described in code. One call lays down the frame, one call
// per control appends it, and a last call creates the dialog from the
// finished template and binds it to a framework window record.
#pragma once

#include <windows.h>

#include <span>
#include <string_view>

struct XWND;

// The template buffer's size in 16-bit words.
constexpr int kTemplateWords = 4096;

// Starts a new template: caption, the default GUI font, no items yet.
bool XMAKEDIALOGFRAME(int id, int width, int height, std::string_view title);
// Appends a control; false when it does not fit in the buffer (the items
// before it stay a valid template).
bool XMAKEDIALOGITEM(int id, std::string_view className, DWORD style, int x, int y, int width, int height,
                     std::string_view text);
// Creates the dialog (shown at once: the frame style is visible and
// centred) bound to `wnd`. The owner is `parent` when it is a window, else
// the frame window, else the desktop.
bool XMAKEDIALOG(XWND& wnd, const XWND* parent = nullptr);

// The template as built so far (for tests): the used words.
std::span<const WORD> makeDialogTemplate();
