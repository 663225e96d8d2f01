// ParamDlg: the "Parameter Maintenance" dialog with its three pages: enter
// or edit one parameter, show all of them, re-arrange them.
#pragma once

struct XWND;

// Opens the dialog (or brings the open one to the front).
void PARAM_ENTRY(XWND& window);
