// The dispatch tables of a window record: order, replacement, growth,
// search, refusals, and the typed handler forms.
#include <algorithm>

#include "WflWndTestSupport.h"

namespace {

LRESULT onPaint(XWND&, DrawingRecord&, int, int, int, int) { return 1; }
LRESULT onSize(XWND&, int, int, int) { return 1; }
LRESULT onEnableA(XWND&, bool) { return 1; }
LRESULT onEnableB(XWND&, bool) { return 2; }
LRESULT onRaw(XWND&, UINT, WPARAM, LPARAM) { return 1; }
LRESULT onPlain(XWND&) { return 1; }
void onCommandA(XWND&, int, int) {}
void onCommandB(XWND&, int, int) {}

struct Calls {
    int raw = 0;
    UINT lastMessage = 0;
};
Calls calls;
LRESULT countingRaw(XWND&, UINT message, WPARAM, LPARAM) {
    ++calls.raw;
    calls.lastMessage = message;
    return 7;
}

}  // namespace

TEST(DispatchTables, KeepMessagesAscendingAndReplaceEqualKeys) {
    TestWindow w;
    XWND& r = w.record;
    ASSERT_TRUE(XSETHANDLER(r, 15, onPaint));
    ASSERT_TRUE(XSETHANDLER(r, 5, onSize));
    ASSERT_TRUE(XSETHANDLER(r, 10, onEnableA));
    EXPECT_EQ(r.handlerMessages, (std::vector<UINT>{5, 10, 15}));
    EXPECT_EQ(r.handlerCount, 3);

    ASSERT_TRUE(XSETHANDLER(r, 10, onEnableB));
    EXPECT_EQ(r.handlerMessages, (std::vector<UINT>{5, 10, 15}));
    EXPECT_EQ(r.handlerCount, 3);
    EXPECT_EQ(std::get<HandlerInt3>(r.handlerRoutines[0]), onSize);
    EXPECT_EQ(std::get<HandlerFlag>(r.handlerRoutines[1]), onEnableB);
    EXPECT_EQ(std::get<HandlerPaint>(r.handlerRoutines[2]), onPaint);
}

TEST(DispatchTables, GrowToCountPlusTenWhenFull) {
    TestWindow w;
    XWND& r = w.record;
    EXPECT_EQ(r.handlerMessages.capacity(), 0u);
    for (UINT i = 10; i >= 1; --i) ASSERT_TRUE(XSETHANDLER(r, WM_USER + i * 2, onRaw));
    EXPECT_EQ(r.handlerMessages.capacity(), 10u);
    EXPECT_EQ(r.handlerRoutines.capacity(), 10u);

    ASSERT_TRUE(XSETHANDLER(r, WM_USER + 7, onRaw));  // the eleventh, into the middle
    EXPECT_EQ(r.handlerCount, 11);
    EXPECT_EQ(r.handlerMessages.capacity(), 21u);
    EXPECT_EQ(r.handlerRoutines.capacity(), 21u);
    EXPECT_TRUE(std::is_sorted(r.handlerMessages.begin(), r.handlerMessages.end()));

    for (int id = 1; id <= 11; ++id) ASSERT_TRUE(XSETCOMMAND(r, 100 - id, onCommandA));
    EXPECT_EQ(r.commandCount, 11);
    EXPECT_EQ(r.commandIds.capacity(), 21u);
    EXPECT_EQ(r.commandRoutines.capacity(), 21u);
    EXPECT_EQ(r.commandIds.front(), 89);
    EXPECT_EQ(r.commandIds.back(), 99);
}

TEST(DispatchTables, BinarySearchGivesOneBasedIndexOrNotFound) {
    TestWindow w;
    XWND& r = w.record;
    for (int id : {40, 10, 30, 20}) ASSERT_TRUE(XSETCOMMAND(r, id, onCommandA));
    ASSERT_TRUE(XSETCOMMAND(r, 30, onCommandB));
    struct Row {
        const char* what;
        int id;
        bool found;
        int index;
    } rows[] = {
        {"first", 10, true, 1}, {"middle", 30, true, 3}, {"last", 40, true, 4},
        {"below all", 5, false, 0}, {"between", 25, false, 0}, {"above all", 41, false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        int index = -1;
        EXPECT_EQ(FXGETCOMMAND(r, row.id, index), row.found);
        EXPECT_EQ(index, row.index);
    }
    int index = 0;
    ASSERT_TRUE(FXGETCOMMAND(r, 30, index));
    EXPECT_EQ(r.commandRoutines[static_cast<std::size_t>(index - 1)], onCommandB);

    ASSERT_TRUE(XSETHANDLER(r, WM_CLOSE, onPlain));
    EXPECT_TRUE(FXGETHANDLER(WM_CLOSE, r, index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(FXGETHANDLER(WM_CREATE, r, index));
}

TEST(DispatchTables, RefuseUnboundRecordsAndNullRoutines) {
    XWND unbound;  // fresh: not bound to any framework procedure
    EXPECT_FALSE(XSETHANDLER(unbound, WM_USER, onRaw));
    EXPECT_FALSE(XSETCOMMAND(unbound, 1, onCommandA));
    EXPECT_EQ(unbound.handlerCount, 0);
    EXPECT_TRUE(unbound.handlerMessages.empty());

    TestWindow w;
    EXPECT_FALSE(XSETHANDLER(w.record, WM_USER, HandlerRaw{nullptr}));
    EXPECT_FALSE(XSETCOMMAND(w.record, 1, nullptr));
    EXPECT_EQ(w.record.handlerCount, 0);
    EXPECT_EQ(w.record.commandCount, 0);
}

TEST(DispatchTables, ARoutineOfTheWrongFormIsRefusedWithTheFault) {
    TestWindow w;
    FaultRecorder faults;
    struct Row {
        const char* what;
        UINT message;
        XHandler routine;
    } rows[] = {
        {"plain routine for WM_SIZE", WM_SIZE, onPlain},
        {"raw routine for WM_PAINT", WM_PAINT, onRaw},
        {"size routine for a message without a form", WM_USER + 1, onSize},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::size_t before = faults.seen().size();
        EXPECT_FALSE(XSETHANDLER(w.record, row.message, row.routine));
        ASSERT_EQ(faults.seen().size(), before + 1);
        EXPECT_EQ(faults.seen().back(), kFaultWrongForm);
    }
    EXPECT_EQ(w.record.handlerCount, 0);
}

TEST(DispatchTables, AWrongFormMetAtDispatchIsNeverCalled) {
    TestWindow w;
    calls = {};
    ASSERT_TRUE(XSETHANDLER(w.record, WM_USER + 3, countingRaw));
    // Planted behind the registration's check, as a record edited by hand.
    w.record.handlerMessages.insert(w.record.handlerMessages.begin(), WM_MOVE);
    w.record.handlerRoutines.insert(w.record.handlerRoutines.begin(), XHandler(countingRaw));
    w.record.handlerCount = 2;

    FaultRecorder faults;
    SendMessageA(w.hwnd(), WM_MOVE, 0, MAKELPARAM(1, 2));
    EXPECT_EQ(calls.raw, 0);
    ASSERT_EQ(faults.seen().size(), 1u);
    EXPECT_EQ(faults.seen()[0], kFaultWrongForm);

    // The well-formed entry next to it still works.
    EXPECT_EQ(SendMessageA(w.hwnd(), WM_USER + 3, 0, 0), 7);
    EXPECT_EQ(calls.raw, 1);
    EXPECT_EQ(calls.lastMessage, WM_USER + 3u);
}
