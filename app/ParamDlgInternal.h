// What the ParamDlg source files share: the module's state and the routines
// of the frame and the three pages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "FixedText.h"
#include "WflWnd.h"

// One line of the RE-ARRANGE page, read by the list view straight from the
// array: "(a16, a80, a80)".
struct ArrangeRow {
    char name[16];
    char expression[80];
    char comment[80];
};
static_assert(sizeof(ArrangeRow) == 176);

// One line of SHOW ALL, read by the list view straight from the array. The
// status leads as the line's image number: 1 valid, 2 in error. The value
// has the room of the main window's result line: the widest value, a
// complex one with two three-digit exponents, takes 34 characters, and a
// value cut short would read as another.
struct ListRow {
    std::int32_t status;
    std::int32_t sequence;
    char name[16];
    char value[40];
    char factor[4];
    char expression[80];
    char comment[80];
};
static_assert(sizeof(ListRow) == 228);

struct ParamDlgState {
    // The frame and its pages, for as long as the process runs.
    XWND frame, entryPage, listPage, arrangePage;
    bool open = false;
    // The owner of expression error reports before the dialog took over.
    XWND* savedOwner = nullptr;
    // Set by a visit to RE-ARRANGE: the entry page's name list is stale.
    bool rearranged = false;
    // The entry form as last filled or read. The name is kept whole: a
    // name too long for the table must meet the table's own check rather
    // than be cut into another parameter's name.
    std::string name;
    FixedText<80> expression;
    FixedText<80> comment;
    bool factorOnly = false;
    // The RE-ARRANGE page: its rows exist from the first visit until the
    // dialog closes, and only grow in between.
    std::vector<ArrangeRow> arrangeRows;
    // The SHOW ALL page: its rows, filled afresh on every visit. Both lists
    // are virtual: they ask for the lines they show, so a table of any size
    // shows at once.
    std::vector<ListRow> listRows;
    bool arrangeRowsExist = false;
    int selectedRow = 0;
    FixedText<16> deleteName;
};
ParamDlgState& paramDlgState();

// Frame.
void PARAM_ENTRY_ONTAB(XWND& frame, int id, int code);
void PARAM_ENTRY_ONIDCANCEL(XWND& frame, int id, int code);

// ENTER/EDIT page.
void PARAM_EDIT_INIT(XWND& page);
void COMBOFILL(XWND& page);
void PARAM_EDIT_COMBOUP(XWND& page, int id, int code);
bool PARAM_EDIT_STORE(XWND& page, bool evaluate);
void PARAM_EDIT_SAVE(XWND& page, int id, int code);
void PARAM_EDIT_LATER(XWND& page, int id, int code);

// SHOW ALL and RE-ARRANGE pages.
void PARAM_LIST(XWND& page);
// A click on a SHOW ALL header: "Currently" sorts by value, the others
// by their text.
void PARAM_LIST_ONCOLUMN(XWND& page, int id, int column);
void PARAM_MOVE(XWND& page);
void PARAM_MOVE_UP(XWND& page, int id, int code);
void PARAM_MOVE_DOWN(XWND& page, int id, int code);
void PARAM_MOVE_OUT(XWND& page, int id, int code);
