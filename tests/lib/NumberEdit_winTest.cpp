// TallyonNumberEdit as a user meets it: a dialog with two fields and a
// button, typed into with real key presses (SendInput) through the dialog's
// own message loop, and its parent's notifications read as they come. This
// program includes only tallyon.h and tallyon_win.h and links only
// tallyon.dll.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tallyon_win.h"

namespace {

constexpr int kFirst = 101, kSecond = 102, kButton = 103, kLabel = 104;

struct Heard {
    int code;
    int id;
    tly_value value;
    tly_error error;
};

std::vector<Heard>& heard() {
    static std::vector<Heard> list;
    return list;
}

INT_PTR CALLBACK dialogProc(HWND, UINT message, WPARAM, LPARAM l) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_NOTIFY) {
        const auto* nm = reinterpret_cast<const TLY_NMVALUE*>(l);
        if (nm->hdr.code == TLY_NEN_CHANGED || nm->hdr.code == TLY_NEN_ERROR) {
            heard().push_back({static_cast<int>(nm->hdr.code), static_cast<int>(nm->hdr.idFrom), nm->value, nm->error});
        }
        return TRUE;
    }
    return FALSE;
}

// An in-memory dialog template: two fields (the second real-only) and a
// button, in dialog units.
class Template {
public:
    Template() {
        word(1), word(0xFFFF), dword(0), dword(0);
        dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | DS_MODALFRAME | WS_VISIBLE);
        word(4), word(10), word(10), word(200), word(60);
        word(0), word(0), text(L"Number fields");
        word(9), word(FW_NORMAL), word(0), text(L"Segoe UI");  // points, weight, italic and charset, face
        item(kLabel, L"Static", WS_CHILD | WS_VISIBLE, 2, 0, 60, 9, L"&Length:");
        item(kFirst, L"TallyonNumberEdit", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 180, 12);
        item(kSecond, L"TallyonNumberEdit",
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | TLY_NES_REALONLY, 10, 26, 180, 12);
        item(kButton, L"Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 42, 50, 14, L"Close");
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

private:
    Template& word(WORD w) {
        data_.push_back(w);
        return *this;
    }
    void dword(DWORD d) {
        word(LOWORD(d));
        word(HIWORD(d));
    }
    void text(const wchar_t* s) {
        for (; *s; ++s) word(static_cast<WORD>(*s));
        word(0);
    }
    void align() {
        if (data_.size() % 2 != 0) word(0);
    }
    void item(int id, const wchar_t* cls, DWORD style, short x, short y, short cx, short cy, const wchar_t* t = L"") {
        align();
        dword(0), dword(0), dword(style);
        word(static_cast<WORD>(x)), word(static_cast<WORD>(y)), word(static_cast<WORD>(cx)), word(static_cast<WORD>(cy));
        dword(static_cast<DWORD>(id));
        text(cls);
        text(t);
        word(0);
    }
    std::vector<WORD> data_;
};

std::set<HWND> topLevelWindows() {
    std::set<HWND> out;
    EnumWindows(
        [](HWND w, LPARAM l) {
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            if (process == GetCurrentProcessId()) reinterpret_cast<std::set<HWND>*>(l)->insert(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    return out;
}

class NumberEdit : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tly_register_number_edit(nullptr));
        ASSERT_TRUE(tly_register_number_edit(nullptr));  // again: nothing changes
        heard().clear();
        dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), form.get(), nullptr, dialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        first = GetDlgItem(dialog, kFirst);
        second = GetDlgItem(dialog, kSecond);
        SetForegroundWindow(dialog);
        SetFocus(first);
        pumpUntil([&] { return GetFocus() == first; });
    }
    void TearDown() override {
        DestroyWindow(dialog);
        tly_engine_free(engine);
    }

    // Messages through the dialog's loop until CONDITION holds (or 5 s).
    bool pumpUntil(const std::function<bool()>& condition) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        for (;;) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsDialogMessageW(dialog, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
            if (condition()) return true;
            if (std::chrono::steady_clock::now() > until) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    void settle() {
        int rounds = 0;
        pumpUntil([&] { return ++rounds > 20; });
    }

    void press(WORD key, bool control = false) {
        std::vector<INPUT> input;
        auto add = [&](WORD k, DWORD flags) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = k;
            i.ki.dwFlags = flags;
            input.push_back(i);
        };
        if (control) add(VK_CONTROL, 0);
        add(key, 0);
        add(key, KEYEVENTF_KEYUP);
        if (control) add(VK_CONTROL, KEYEVENTF_KEYUP);
        SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
        settle();
    }
    void type(const std::wstring& text) {
        std::vector<INPUT> input;
        for (const wchar_t c : text) {
            for (const DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
                INPUT i{};
                i.type = INPUT_KEYBOARD;
                i.ki.wScan = c;
                i.ki.dwFlags = KEYEVENTF_UNICODE | up;
                input.push_back(i);
            }
        }
        SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
        std::wstring typed;
        pumpUntil([&] {
            wchar_t buffer[256] = {};
            GetWindowTextW(GetFocus(), buffer, 256);
            return std::wstring(buffer).ends_with(text);
        });
    }
    // Everything in the focused field replaced by TEXT, as a user selects
    // it all and types.
    void retype(const std::wstring& text) {
        press('A', true);
        type(text);
    }
    std::wstring textOf(HWND field) {
        wchar_t buffer[256] = {};
        GetWindowTextW(field, buffer, 256);
        return buffer;
    }
    std::pair<int, int> selection(HWND field) {
        DWORD from = 0, to = 0;
        SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        return {static_cast<int>(from), static_cast<int>(to)};
    }
    // The field's balloon: the tooltip window that holds the field as its tool.
    HWND balloonOf(HWND field) {
        for (HWND w : topLevelWindows()) {
            wchar_t cls[64] = {};
            GetClassNameW(w, cls, 64);
            if (std::wstring(cls) != L"tooltips_class32") continue;
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.hwnd = field;
            tool.uId = reinterpret_cast<UINT_PTR>(field);
            if (SendMessageW(w, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) return w;
        }
        return nullptr;
    }
    std::wstring clipboard() {
        std::wstring text = L"<none>";
        if (!OpenClipboard(dialog)) return L"<not opened>";
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return text;
    }

    Template form;
    HWND dialog = nullptr, first = nullptr, second = nullptr;
    tly_engine* engine = nullptr;
};

TEST_F(NumberEdit, EnterEvaluatesAndAFaultIsMarkedWithoutAWindow) {
    const std::set<HWND> before = topLevelWindows();
    type(L"3/8*25.4");
    press(VK_RETURN);
    ASSERT_TRUE(pumpUntil([] { return !heard().empty(); }));
    ASSERT_EQ(heard().size(), 1u);
    EXPECT_EQ(heard()[0].code, TLY_NEN_CHANGED);
    EXPECT_EQ(heard()[0].id, kFirst);
    EXPECT_EQ(heard()[0].value.real, 3.0 / 8 * 25.4);
    tly_value value{};
    ASSERT_TRUE(SendMessageW(first, TLY_NEM_GETVALUE, 0, reinterpret_cast<LPARAM>(&value)));
    EXPECT_EQ(value.real, 3.0 / 8 * 25.4);
    EXPECT_EQ(value.is_real, 1);
    EXPECT_EQ(textOf(first), L"3/8*25.4");  // the text stays as typed
    EXPECT_TRUE(IsWindow(dialog));          // Enter did not close the dialog

    retype(L"2+");
    press(VK_RETURN);
    ASSERT_TRUE(pumpUntil([] { return heard().size() == 2; }));
    EXPECT_EQ(heard()[1].code, TLY_NEN_ERROR);
    EXPECT_STREQ(heard()[1].error.message, "Missing operand after");
    EXPECT_EQ(heard()[1].error.first, 2);
    EXPECT_EQ(heard()[1].error.last, 2);
    tly_error error{};
    ASSERT_TRUE(SendMessageW(first, TLY_NEM_GETERROR, 0, reinterpret_cast<LPARAM>(&error)));
    EXPECT_EQ(error.first, 2);
    EXPECT_FALSE(SendMessageW(first, TLY_NEM_GETVALUE, 0, reinterpret_cast<LPARAM>(&value)));
    EXPECT_EQ(selection(first), (std::pair<int, int>{1, 2}));  // the faulty column selected

    // No window came: the balloon is the field's own, made with it, and shows.
    EXPECT_EQ(topLevelWindows(), before);
    const HWND balloon = balloonOf(first);
    ASSERT_NE(balloon, nullptr);
    EXPECT_TRUE(IsWindowVisible(balloon));
    wchar_t shown[200] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = first;
    tool.uId = reinterpret_cast<UINT_PTR>(first);
    tool.lpszText = shown;
    SendMessageW(balloon, TTM_GETTEXTW, 200, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(shown, L"Missing operand after");
}

// To whatever asks (a dialog, a framework, a tool that reads windows), the
// field answers as an edit box does, and its own style bit is no edit style.
TEST_F(NumberEdit, TheFieldIsAnEditBoxToWhoeverAsks) {
    constexpr LRESULT kEditCodes = DLGC_HASSETSEL | DLGC_WANTCHARS;
    EXPECT_EQ(SendMessageW(first, WM_GETDLGCODE, 0, 0) & kEditCodes, kEditCodes);
    SetWindowTextW(first, L"12*2");
    EXPECT_EQ(SendMessageW(first, WM_GETTEXTLENGTH, 0, 0), 4);
    SendMessageW(first, EM_SETSEL, 1, 3);
    EXPECT_EQ(selection(first), (std::pair<int, int>{1, 3}));
    EXPECT_EQ(GetWindowLongW(first, GWL_STYLE) & ES_CENTER, 0);
    EXPECT_EQ(GetWindowLongW(second, GWL_STYLE) & TLY_NES_REALONLY, TLY_NES_REALONLY);
}

TEST_F(NumberEdit, EscBringsBackTheLastTextThatEvaluated) {
    type(L"2*21");
    press(VK_RETURN);
    retype(L"2*(");
    press(VK_RETURN);
    ASSERT_TRUE(pumpUntil([] { return heard().size() == 2; }));
    EXPECT_EQ(heard()[1].code, TLY_NEN_ERROR);
    press(VK_ESCAPE);
    ASSERT_TRUE(pumpUntil([] { return heard().size() == 3; }));
    EXPECT_EQ(textOf(first), L"2*21");
    EXPECT_EQ(heard()[2].code, TLY_NEN_CHANGED);
    EXPECT_EQ(heard()[2].value.real, 42.0);
    EXPECT_FALSE(IsWindowVisible(balloonOf(first)));
    EXPECT_TRUE(IsWindow(dialog));
}

TEST_F(NumberEdit, LeavingAChangedFieldEvaluatesItOnce) {
    type(L"(3,4)");
    press(VK_TAB);  // into the real-only field
    ASSERT_TRUE(pumpUntil([] { return heard().size() == 1; }));
    EXPECT_EQ(heard()[0].code, TLY_NEN_CHANGED);
    EXPECT_EQ(heard()[0].value.re, 3.0);
    EXPECT_EQ(heard()[0].value.im, 4.0);
    EXPECT_EQ(GetFocus(), second);

    type(L"(3,4)");
    press(VK_TAB);
    ASSERT_TRUE(pumpUntil([] { return heard().size() == 2; }));
    EXPECT_EQ(heard()[1].code, TLY_NEN_ERROR);
    EXPECT_EQ(heard()[1].id, kSecond);
    EXPECT_STREQ(heard()[1].error.message,
                 "Expression has non-zero imaginary part.  Pure real required.  Check for spurious comma.");
    EXPECT_EQ(heard()[1].error.first, 1);
    EXPECT_EQ(heard()[1].error.last, 5);
    // Leaving it, the field keeps its mark but not its balloon.
    EXPECT_FALSE(IsWindowVisible(balloonOf(second)));

    // Through the fields again without a change: nothing to tell.
    press(VK_TAB);
    press(VK_TAB);
    press(VK_TAB);
    settle();
    EXPECT_EQ(heard().size(), 2u);
}

TEST_F(NumberEdit, TheMouseOnTheMarkShowsTheMessageAgain) {
    type(L"1/0");
    press(VK_TAB);
    ASSERT_TRUE(pumpUntil([] { return heard().size() == 1; }));
    const HWND balloon = balloonOf(first);
    ASSERT_NE(balloon, nullptr);
    EXPECT_FALSE(IsWindowVisible(balloon));
    // Over the "/" the mark lies under.
    const LRESULT at = SendMessageW(first, EM_POSFROMCHAR, 1, 0);
    PostMessageW(first, WM_MOUSEMOVE, 0, MAKELPARAM(LOWORD(at) + 2, HIWORD(at) + 2));
    ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(balloon) != FALSE; }));
}

TEST_F(NumberEdit, ControlCWithNothingSelectedCopiesEveryDigit) {
    type(L"1/3");
    press(VK_RETURN);
    ASSERT_TRUE(pumpUntil([] { return heard().size() == 1; }));
    SendMessageW(first, EM_SETSEL, 1, 1);
    press('C', true);
    EXPECT_EQ(clipboard(), L"0.3333333333333333");
    // With a selection, Ctrl+C copies the selection, as in any edit box.
    SendMessageW(first, EM_SETSEL, 0, 1);
    press('C', true);
    EXPECT_EQ(clipboard(), L"1");
}

TEST_F(NumberEdit, FieldsOfAnEngineFollowItsParameters) {
    engine = tly_engine_new();
    ASSERT_EQ(tly_param_set(engine, "WIDTH", "2", nullptr, 0, nullptr), 0);
    SendMessageW(first, TLY_NEM_SETENGINE, 0, reinterpret_cast<LPARAM>(engine));
    SendMessageW(second, TLY_NEM_SETENGINE, 0, reinterpret_cast<LPARAM>(engine));
    type(L"width*3");
    press(VK_RETURN);
    SetWindowTextW(second, L"WIDTH+1");
    SendMessageW(second, TLY_NEM_REEVALUATE, 0, 0);
    ASSERT_TRUE(pumpUntil([] { return heard().size() == 2; }));
    EXPECT_EQ(heard()[0].value.real, 6.0);
    EXPECT_EQ(heard()[1].value.real, 3.0);

    ASSERT_EQ(tly_param_set(engine, "WIDTH", "5", nullptr, 0, nullptr), 0);
    EXPECT_EQ(tly_number_edit_reevaluate_all(dialog), 2);
    ASSERT_TRUE(pumpUntil([] { return heard().size() == 4; }));
    tly_value value{};
    ASSERT_TRUE(SendMessageW(first, TLY_NEM_GETVALUE, 0, reinterpret_cast<LPARAM>(&value)));
    EXPECT_EQ(value.real, 15.0);
    ASSERT_TRUE(SendMessageW(second, TLY_NEM_GETVALUE, 0, reinterpret_cast<LPARAM>(&value)));
    EXPECT_EQ(value.real, 6.0);

    // A field of its own engine knows none of them.
    SendMessageW(first, TLY_NEM_SETENGINE, 0, 0);
    SendMessageW(first, TLY_NEM_REEVALUATE, 0, 0);
    tly_error error{};
    ASSERT_TRUE(SendMessageW(first, TLY_NEM_GETERROR, 0, reinterpret_cast<LPARAM>(&error)));
    EXPECT_STREQ(error.message, "Parameter used before being defined");
    // Text the program sets holds no value until it is evaluated.
    SetWindowTextW(second, L"7");
    EXPECT_FALSE(SendMessageW(second, TLY_NEM_GETVALUE, 0, reinterpret_cast<LPARAM>(&value)));
}

}  // namespace
