/* tallyon_win.h: TallyonNumberEdit, a Windows edit field that takes an
 * expression (tallyon.dll).
 *
 * Register the class once, then create fields of class "TallyonNumberEdit"
 * (TLY_NUMBER_EDIT_CLASS) as any edit box, in a dialog template or with
 * CreateWindowEx. A field evaluates its text when the user presses Enter or
 * leaves it, and when told to (TLY_NEM_REEVALUATE):
 *  - The text stays as typed; the value is shown after it in grey
 *    ("= 9.525").
 *  - A fault opens no window of its own: its columns are selected and
 *    underlined, and its message shows in a balloon tip (again when the
 *    mouse rests on the mark).
 *  - Esc brings back the last text that evaluated; Ctrl+C with nothing
 *    selected copies the value with every digit.
 *  - The parent gets WM_NOTIFY with a TLY_NMVALUE, once per evaluation:
 *    TLY_NEN_CHANGED with the value, or TLY_NEN_ERROR with the fault.
 * Every field of an engine evaluates against that engine's parameters; when
 * the program changes them, it sends the fields TLY_NEM_REEVALUATE (or calls
 * tly_number_edit_reevaluate_all on their parent). Edit messages (WM_SETTEXT,
 * EM_SETSEL, ...) work as on an edit box. */
#ifndef TALLYON_WIN_H
#define TALLYON_WIN_H

#include <windows.h>
#include <commctrl.h>

#include "tallyon.h"

#ifdef __cplusplus
extern "C" {
#endif

#define TLY_NUMBER_EDIT_CLASS TEXT("TallyonNumberEdit")

/* Registers the class for INSTANCE (NULL: the module that calls); TRUE when
 * it is registered, also when it was already. */
TLY_API BOOL tly_register_number_edit(HINSTANCE instance);

#define TLY_NEM_GETVALUE (WM_USER + 0x500)   /* lParam: tly_value*; returns TRUE when the field holds a value */
#define TLY_NEM_SETENGINE (WM_USER + 0x501)  /* lParam: tly_engine* the field evaluates against (NULL: a default engine) */
#define TLY_NEM_GETERROR (WM_USER + 0x502)   /* lParam: tly_error*; returns TRUE when the field holds a fault */
#define TLY_NEM_REEVALUATE (WM_USER + 0x503) /* evaluates the text again, as Enter does */

#define TLY_NES_REALONLY 0x0001 /* window style: a complex value is a fault */

#define TLY_NEN_CHANGED 1 /* WM_NOTIFY codes, the NMHDR inside TLY_NMVALUE */
#define TLY_NEN_ERROR 2

typedef struct TLY_NMVALUE {
    NMHDR hdr;
    tly_value value;
    tly_error error;
} TLY_NMVALUE;

/* Sends TLY_NEM_REEVALUATE to every TallyonNumberEdit among PARENT's
 * children (at any depth); how many there were. */
TLY_API int tly_number_edit_reevaluate_all(HWND parent);

#ifdef __cplusplus
}
#endif

#endif /* TALLYON_WIN_H */
