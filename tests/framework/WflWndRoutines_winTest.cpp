// The thin window routines that carry some logic of their own: window
// data, the XISWINDOW queries and batched moves.
#include "WflWndTestSupport.h"

TEST(WindowRoutines, WindowDataIsKeptUnderItsNameWithoutTrailingBlanks) {
    TestWindow w;
    EXPECT_EQ(XGETWINDOWDATA(w.record), 0);
    ASSERT_TRUE(XSETWINDOWDATA(w.record, 1234));
    ASSERT_TRUE(XSETWINDOWDATA(w.record, -7, "SCALE   "));
    EXPECT_EQ(XGETWINDOWDATA(w.record, "XDATA"), 1234);
    EXPECT_EQ(XGETWINDOWDATA(w.record, "SCALE"), -7);
    EXPECT_TRUE(XFREEWINDOWDATA(w.record, "SCALE "));
    EXPECT_EQ(XGETWINDOWDATA(w.record, "SCALE"), 0);
    EXPECT_EQ(XGETWINDOWDATA(w.record), 1234);
    XFREEWINDOWDATA(w.record);
}

TEST(WindowRoutines, IsWindowAnswersEachQuery) {
    TestWindow parent({.style = WS_MAXIMIZEBOX});
    XWND child;
    ASSERT_TRUE(XCREATEWINDOW(child, &parent.record, WS_CHILD | WS_BORDER, "", 0, 0, 0, 10, 10,
                              nullptr, {}, 4));
    XWND gone;
    struct Row {
        const char* what;
        XWND* record;
        int query;
        XWND* other;
        bool expected;
    } rows[] = {
        {"live window", &child, XIS_WINDOW, nullptr, true},
        {"no window", &gone, XIS_WINDOW, nullptr, false},
        {"has a framework record", &child, XIS_FRAMEWORK, nullptr, true},
        {"child of its parent", &child, XIS_CHILD, &parent.record, true},
        {"parent is no child of its child", &parent.record, XIS_CHILD, &child, false},
        {"not zoomed", &parent.record, XIS_ZOOMED, nullptr, false},
        {"not iconic", &parent.record, XIS_ICONIC, nullptr, false},
        {"all style bits set", &child, static_cast<int>(WS_CHILD | WS_BORDER), nullptr, true},
        {"one style bit missing", &child, static_cast<int>(WS_CHILD | WS_VSCROLL), nullptr, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(XISWINDOW(*row.record, row.query, row.other), row.expected);
    }
}

TEST(WindowRoutines, BatchedMovesApplyTogetherAtTheEnd) {
    TestWindow parent;
    XWND a, b;
    ASSERT_TRUE(XCREATEWINDOW(a, &parent.record, WS_CHILD, "", 0, 0, 0, 10, 10, nullptr, {}, 1));
    ASSERT_TRUE(XCREATEWINDOW(b, &parent.record, WS_CHILD, "", 0, 0, 0, 10, 10, nullptr, {}, 2));
    EXPECT_FALSE(XENDMOVEWINDOWS());  // nothing open
    ASSERT_TRUE(XBEGINMOVEWINDOWS());
    EXPECT_FALSE(XBEGINMOVEWINDOWS());  // one batch at a time
    ASSERT_TRUE(XMOVEWINDOW(a, 30, 40));
    ASSERT_TRUE(XSIZEWINDOW(b, 50, 60));
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(XGETWINDOWPOS(a, x, y, width, height));
    EXPECT_EQ(x, 0);  // not yet
    ASSERT_TRUE(XENDMOVEWINDOWS());
    ASSERT_TRUE(XGETWINDOWPOS(a, x, y, width, height));
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
    EXPECT_EQ(width, 10);
    RECT rect{};
    ASSERT_TRUE(XGETWINDOWRECT(b, rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right - rect.left, 50);
    EXPECT_EQ(rect.bottom - rect.top, 60);
}
