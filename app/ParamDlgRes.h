// Resource identifiers of the "Parameter Maintenance" dialog: the tab frame
// and its three pages.
#pragma once

#define IDT_STATIC -1

// ---- Tab frame ----------------------------------------------------------------
#define IDD_PARAM_FRAME 108
#define IDTC_PARAM_PAGES 100
// The Done button is IDCANCEL (2), so Esc and the close box close as well.

// ---- ENTER/EDIT page ------------------------------------------------------------
#define IDD_PARAM_ENTRY 105
#define IDC_ENTRY_NAME 101
#define IDE_ENTRY_EXPRESSION 102
#define IDE_ENTRY_COMMENT 103
#define IDX_ENTRY_FACTOR 105
#define IDB_ENTRY_SAVE 201
#define IDB_ENTRY_SAVE_LATER 202

// ---- SHOW ALL page ------------------------------------------------------------------
#define IDD_PARAM_LIST 106
#define IDL_LIST_TABLE 101

// ---- RE-ARRANGE page ------------------------------------------------------------------
#define IDD_PARAM_ARRANGE 107
#define IDL_ARRANGE_TABLE 101
#define IDB_ARRANGE_UP 301
#define IDB_ARRANGE_DOWN 302
#define IDB_ARRANGE_DELETE 303
