// Resource identifiers of the Tallyon program.
#pragma once

// ---- Main dialog -----------------------------------------------------------
#define IDD_MAIN 102
#define IDI_MAIN 103

#define IDE_MAIN_EXPRESSION 150
#define IDE_MAIN_REAL_RESULT 151
#define IDE_MAIN_COMPLEX_RESULT 152
#define IDT_MAIN_REAL_LABEL 301
#define IDT_MAIN_COMPLEX_LABEL 302
#define IDX_MAIN_REAL_ONLY 1001
#define IDB_MAIN_EVALUATE 1003
#define IDB_MAIN_PARAMETERS 1004
#define IDB_MAIN_SAVE 1005
#define IDB_MAIN_READ 1006

// ---- Parameter list markers -------------------------------------------------
#define IDI_PARAM_VALID 171
#define IDI_PARAM_ERROR 172

#define IDT_STATIC -1
