// The Windows side of the expression engine: the "Expression Error" dialog
// that presents its error reports, and the window that owns that dialog.
#pragma once

struct XWND;

// Makes `window` the owner of the error dialogs when it is a live framework
// window; otherwise the owner stays. The owner before the call goes to
// `previous` when given, so a caller can hand it back later.
void XNUMBEROWNER(XWND& window, XWND** previous = nullptr);

// The current owner (null: none).
XWND* expressionErrorOwner();

// Installs the dialog as the engine's error presenter.
void installErrorDialog();
