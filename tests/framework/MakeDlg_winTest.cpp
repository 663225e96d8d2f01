// Dialog templates built in memory: layout, alignment, the buffer's end, and
// the dialog made from them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "MakeDlg.h"
#include "WflApp.h"
#include "WflDialog.h"
#include "WflWnd.h"

namespace {

// Reads a template back the way the dialog manager does.
struct ParsedItem {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD id = 0;
    std::wstring className, text;
    std::size_t offsetWords = 0;  // where the item starts
};
struct ParsedTemplate {
    DWORD style = 0;
    WORD count = 0, cx = 0, cy = 0;
    std::wstring caption, face;
    WORD pointSize = 0;
    std::vector<ParsedItem> items;
};

std::wstring readString(std::span<const WORD> t, std::size_t& at) {
    std::wstring s;
    while (t[at] != 0) s.push_back(static_cast<wchar_t>(t[at++]));
    ++at;
    return s;
}

ParsedTemplate parse(std::span<const WORD> t) {
    ParsedTemplate p;
    p.style = MAKELONG(t[0], t[1]);
    p.count = t[4];
    p.cx = t[7];
    p.cy = t[8];
    std::size_t at = 11;  // after menu and class
    p.caption = readString(t, at);
    p.pointSize = t[at++];
    p.face = readString(t, at);
    for (WORD i = 0; i < p.count; ++i) {
        if (at % 2) ++at;  // items start on four-byte boundaries
        ParsedItem item;
        item.offsetWords = at;
        item.style = MAKELONG(t[at], t[at + 1]);
        item.x = static_cast<short>(t[at + 4]);
        item.y = static_cast<short>(t[at + 5]);
        item.cx = static_cast<short>(t[at + 6]);
        item.cy = static_cast<short>(t[at + 7]);
        item.id = t[at + 8];
        at += 9;
        item.className = readString(t, at);
        item.text = readString(t, at);
        ++at;  // creation data size
        p.items.push_back(item);
    }
    return p;
}

}  // namespace

TEST(MakeDlg, TemplateLayoutAndAlignment) {
    // Captions and texts of odd and even lengths shift the following items
    // by odd numbers of words; each must still start on a boundary.
    ASSERT_TRUE(XMAKEDIALOGFRAME(500, 400, 70, "Odd   "));
    ASSERT_TRUE(XMAKEDIALOGITEM(1, "Button", WS_CHILD | WS_VISIBLE, 175, 49, 50, 14, "OK"));
    ASSERT_TRUE(XMAKEDIALOGITEM(2, "Button ", 0, 343, 49, 50, 14, "Cancel"));
    ASSERT_TRUE(XMAKEDIALOGITEM(101, "Static", WS_CHILD | WS_VISIBLE, 7, 7, 386, 10, " "));
    ASSERT_TRUE(XMAKEDIALOGITEM(102, "Static", WS_CHILD | WS_VISIBLE, 7, 23, 386, 10, "abc"));
    const ParsedTemplate p = parse(makeDialogTemplate());
    EXPECT_EQ(p.style, 0x90C808C0u);
    EXPECT_EQ(p.cx, 400);
    EXPECT_EQ(p.cy, 70);
    EXPECT_EQ(p.caption, L"Odd");
    EXPECT_FALSE(p.face.empty());
    EXPECT_GE(p.pointSize, 6);
    EXPECT_LE(p.pointSize, 12);
    ASSERT_EQ(p.count, 4);
    const struct {
        WORD id;
        const wchar_t* cls;
        const wchar_t* text;
        DWORD style;
    } want[] = {{1, L"Button", L"OK", WS_CHILD | WS_VISIBLE},
                {2, L"Button", L"Cancel", 0},
                {101, L"Static", L"", WS_CHILD | WS_VISIBLE},  // a blank text is just the zero word
                {102, L"Static", L"abc", WS_CHILD | WS_VISIBLE}};
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(p.items[i].offsetWords % 2, 0u);  // a four-byte boundary
        EXPECT_EQ(p.items[i].id, want[i].id);
        EXPECT_EQ(p.items[i].className, want[i].cls);
        EXPECT_EQ(p.items[i].text, want[i].text);
        EXPECT_EQ(p.items[i].style, want[i].style);  // no bits added
    }
}

TEST(MakeDlg, ItemReachingTheBufferEndIsRefused) {
    ASSERT_TRUE(XMAKEDIALOGFRAME(7, 100, 50, "Full"));
    const std::string text(200, 'x');
    int added = 0;
    while (XMAKEDIALOGITEM(1000 + added, "Static", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, text)) ++added;
    EXPECT_GT(added, 10);
    const std::size_t used = makeDialogTemplate().size();
    EXPECT_LT(used, static_cast<std::size_t>(kTemplateWords));
    const ParsedTemplate p = parse(makeDialogTemplate());
    EXPECT_EQ(p.count, added);  // the refused item is not counted
    // A shorter item may still fit after a refused one.
    const bool small = XMAKEDIALOGITEM(1, "Static", WS_CHILD, 0, 0, 1, 1, "");
    EXPECT_EQ(parse(makeDialogTemplate()).count, added + (small ? 1 : 0));
}

TEST(MakeDlg, DialogIsCreatedWithDesktopOwnerAndBoundControls) {
    startFramework(GetModuleHandleA(nullptr));
    ASSERT_TRUE(XMAKEDIALOGFRAME(500, 200, 60, "Made in memory"));
    ASSERT_TRUE(XMAKEDIALOGITEM(IDOK, "Button", WS_CHILD | WS_VISIBLE, 10, 40, 50, 14, "OK"));
    ASSERT_TRUE(XMAKEDIALOGITEM(101, "Static", WS_CHILD | WS_VISIBLE, 10, 10, 180, 10, "hello"));
    XWND dialog;
    ASSERT_TRUE(XMAKEDIALOG(dialog));
    ASSERT_TRUE(IsWindow(dialog.hwnd));
    EXPECT_EQ(dialog.id, 500);
    EXPECT_EQ(dialog.defaultProc, kDefProcDialog);
    char title[64] = {};
    GetWindowTextA(dialog.hwnd, title, sizeof title);
    EXPECT_STREQ(title, "Made in memory");
    // No frame window and no parent: the desktop owns it (an owned pop-up
    // reports the desktop as no owner at all).
    HWND owner = GetWindow(dialog.hwnd, GW_OWNER);
    EXPECT_TRUE(owner == nullptr || owner == GetDesktopWindow());
    char text[32] = {};
    GetDlgItemTextA(dialog.hwnd, 101, text, sizeof text);
    EXPECT_STREQ(text, "hello");
    EXPECT_GE(dialog.controlCount, 3);  // the dialog itself and its two controls
    XDESTROYDIALOG(dialog);
    EXPECT_FALSE(IsWindow(dialog.hwnd));
}
