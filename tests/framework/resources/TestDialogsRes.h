// Identifiers of the test dialogs, grouped by dialog.
#pragma once

// Dialog with one control of each kind that resources describe.
#define IDD_CONTROLS 501
#define IDC_CONTROLS_EDIT 1101
#define IDC_CONTROLS_DROPLIST 1102
#define IDC_CONTROLS_LIST 1103
#define IDC_CONTROLS_CHECK 1104
#define IDC_CONTROLS_COMBO 1105

// Tab frame and its two pages.
#define IDD_TABFRAME 600
#define IDC_TABFRAME_TAB 100
#define IDD_TABPAGE_ONE 601
#define IDC_PAGE_ONE_EDIT 6011
#define IDD_TABPAGE_TWO 602
#define IDC_PAGE_TWO_CHECK 6021

// A bare modal dialog for nested runs.
#define IDD_MODAL 700

// Keys for the accelerator tests: F5 gives the command IDM_TEST_KEY.
#define IDR_TEST_KEYS 800
#define IDM_TEST_KEY 8001
