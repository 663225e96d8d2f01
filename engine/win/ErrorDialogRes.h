// Identifiers of the "Expression Error" dialog, which is built in memory.
#pragma once

#define IDD_EXPRESSION_ERROR 500
#define IDT_ERROR_MESSAGE 101
#define IDT_ERROR_DISPLAY 102  // the user's line, fixed pitch
#define IDT_ERROR_MARKER 103   // the marks under it, fixed pitch
// OK ends it; a hidden Cancel lets Esc end it as well.
