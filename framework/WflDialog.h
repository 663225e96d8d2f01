// WflDialog: the dialog life cycle of framework windows (load, show
// modeless, run modally, end, destroy) and the framework's message box.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "WflWnd.h"

// ---- Dialogs -------------------------------------------------------------------
// Creates the dialog from resource `id` bound to `wnd` (its controls get
// records, list and combo boxes their initial entries). Owner: the parent,
// else the frame window, else the desktop.
bool XLOADDIALOG(int id, XWND& wnd, XWND* parent = nullptr, HINSTANCE instance = nullptr);
// Shows the dialog and reports initialisation to its own control routine.
bool XMODELESSDIALOG(XWND& wnd, int show = SW_SHOW);
// Runs the dialog in a loop of its own until XENDDIALOG (or a button with
// identifier 1 or 2); returns the end code, -1 for a dead window or when
// the application quits meanwhile. With `disableAll`, every other window of
// the thread is disabled during the run, else only the owner. The dialog is
// hidden afterwards, not destroyed.
int XMODALDIALOG(XWND& wnd, XWND* parent = nullptr, bool disableAll = false);
bool XENDDIALOG(XWND& wnd, int code);
void XDESTROYDIALOG(XWND& wnd);
// Adds the strings of the dialog's initialisation resource to its list and
// combo boxes.
void PXPARSEDLGINIT(HINSTANCE instance, XWND& wnd, int id);

// ---- Message box ---------------------------------------------------------------
// Identifiers of the message box's own controls.
constexpr int kMessageBoxCheckId = 1001;

// Shows a message box built at run time and returns the identifier of the
// pressed button. With `key` and `value`, a remembered answer (a positive
// integer under HKEY_CURRENT_USER\key) is returned without showing anything;
// otherwise the box carries "&Show this message in the future", and clearing
// it stores the answer. `buttons` replaces the standard button set with up
// to four captions (identifiers 1 to n). Returns 0 when the key cannot be
// opened or the dialog cannot be created.
int XMESSAGEBOX(std::string_view text, std::optional<std::string_view> title = std::nullopt,
                UINT flags = 0, HWND owner = nullptr, std::optional<int> icon = std::nullopt,
                std::optional<std::string_view> key = std::nullopt,
                std::optional<std::string_view> value = std::nullopt,
                HINSTANCE instance = nullptr,
                std::optional<std::span<const std::string_view>> buttons = std::nullopt);

// Makes the texts of the dialog's labels and check boxes fit the font the
// system gives: each grows to the right as far as its dialog, group box and
// neighbours allow, and a label that still cannot show its text on one line
// wraps onto the free lines below it.
void XFITDIALOGTEXTS(XWND& dialog);

// ---- Writing a dialog template in memory ---------------------------------------
// The writers take the template and a position in 16-bit units, grow the
// template as needed and return the position after what they wrote.
using DialogTemplate = std::vector<WORD>;
int PXPUTINT4(DialogTemplate& t, int position, DWORD value);
int PXPUTINT2(DialogTemplate& t, int position, std::span<const WORD> values);
// The ANSI text converted to UTF-16, then a terminating zero.
int PXPUTCHAR(DialogTemplate& t, int position, std::string_view text);

// The dialog's own entry: styles, item count, position and size in dialog
// units, and title. The stock GUI font goes with it (the style must carry
// DS_SETFONT), at its point size for this screen.
struct TemplateFrame {
    DWORD style = 0;
    DWORD exStyle = 0;
    WORD items = 0;
    short x = 0, y = 0, width = 0, height = 0;
    std::string_view title;
};
// Also pads to the 4-byte boundary where the first item must start.
int PXPUTFRAME(DialogTemplate& t, int position, const TemplateFrame& frame);
// Where a template keeps its count of items.
constexpr int kTemplateItemCountAt = 4;

// One control entry: its class is an ordinal or a name; its text is an ANSI
// text, a resource ordinal or a UTF-16 text (copied up to its zero, at most
// 100 units).
struct TemplateControl {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, width = 0, height = 0;
    WORD id = 0;
    WORD classOrdinal = 0;  // 0x80 button, 0x82 static; 0: className
    std::string_view className;
    std::string_view text;
    std::optional<WORD> textOrdinal;
    const wchar_t* wideText = nullptr;
};
constexpr WORD kButtonClass = 0x80;
constexpr WORD kStaticClass = 0x82;
// Also pads to the 4-byte boundary where the next entry must start.
int PXPUTCONTROL(DialogTemplate& t, int position, const TemplateControl& control);

// ---- Binding a new dialog -------------------------------------------------------
// Makes a dialog with `create` (given the framework's procedure and the
// record to hand it) and binds it to `wnd` as dialog ID: its controls get
// their records, element 0 describes the dialog itself, and a dialog made
// as a child is found by ID. The record must be fresh. Returns its window.
using DialogMaker = HWND (*)(const void* source, HWND owner, DLGPROC procedure, LPARAM record);
HWND bindNewDialog(XWND& wnd, int id, HWND owner, DialogMaker create, const void* source);

// ---- On screen at any resolution ------------------------------------------------
// The template of dialog resource `id` with a smaller font, when the dialog
// as it stands would not fit the work area of its monitor (probed on a
// hidden copy; the layout in dialog units shrinks with the font); for a page
// (a WS_CHILD dialog), the font size its dialog PARENT was shrunk to.
// Nothing when the resource serves as it is.
std::optional<std::vector<BYTE>> fittingDialogTemplate(HINSTANCE module, int id, HWND owner, HWND parent);
// Notes on a dialog made from such a template the font size its pages take.
void XREMEMBERDIALOGPOINTS(HWND dialog, const std::vector<BYTE>& bytes);
void XFORGETDIALOGPOINTS(HWND dialog);
// Puts the dialog beside the window BESIDE (to its right, else its left,
// else against the edge of the screen), inside the work area of that
// window's monitor; centred on it without BESIDE.
void XPLACEBESIDE(XWND& dialog, HWND beside);
