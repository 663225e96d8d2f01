/* The voltage divider's dialog and its controls. */
#define IDD_DIVIDER 100
#define IDC_DIVIDER_VIN 101
#define IDC_DIVIDER_R1 102
#define IDC_DIVIDER_R2 103
#define IDC_DIVIDER_VOUT 104
