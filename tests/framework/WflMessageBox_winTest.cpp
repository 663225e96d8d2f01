// The framework's message box as a user meets it: found on the screen,
// its buttons, default, icon and size read, answered with a key or a click.
#include <array>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "WflDialog.h"
#include "WflReg.h"
#include "WflWndTestSupport.h"

namespace {

constexpr char kTestKey[] = "Software\\TallyonTests\\MessageBox";
constexpr char kTestValue[] = "RememberedAnswer";

// Everything the test's user noted about the box it saw.
struct Sighting {
    std::string title;
    std::string text;
    std::vector<SeenButton> buttons;
    HWND focus = nullptr;
    int focusId = 0;
    bool iconShown = false;
    bool textTakesAmpersands = false;  // the text's "&" shows, it marks no access key
    bool hasCheck = false;
    bool checkTicked = false;
    int clientWidth = 0;
    int widthOf200Units = 0;
};

Sighting look(HWND box) {
    Sighting s;
    s.title = textOf(box);
    s.buttons = pushButtons(box);
    s.focus = GetFocus();
    s.focusId = GetDlgCtrlID(s.focus);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (classOf(child) != "Static") continue;
        if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            s.iconShown = SendMessageA(child, STM_GETICON, 0, 0) != 0;
        } else {
            s.text = textOf(child);
            s.textTakesAmpersands = (GetWindowLongPtrA(child, GWL_STYLE) & SS_NOPREFIX) != 0;
        }
    }
    HWND check = GetDlgItem(box, kMessageBoxCheckId);
    s.hasCheck = check != nullptr;
    s.checkTicked = check && SendMessageA(check, BM_GETCHECK, 0, 0) == BST_CHECKED;
    RECT client{};
    GetClientRect(box, &client);
    s.clientWidth = client.right;
    RECT units{0, 0, 200, 0};
    MapDialogRect(box, &units);
    s.widthOf200Units = units.right;
    return s;
}

std::vector<int> idsOf(const std::vector<SeenButton>& buttons) {
    std::vector<int> ids;
    for (const SeenButton& b : buttons) ids.push_back(b.id);
    return ids;
}

int defaultOf(const std::vector<SeenButton>& buttons) {
    for (const SeenButton& b : buttons) {
        if (b.isDefault) return b.id;
    }
    return 0;
}

void forgetAnswer() {
    RegistryKey key(kTestKey);
    if (key.isOpen()) RegDeleteValueA(key.handle(), kTestValue);
}

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureFramework();
        forgetAnswer();
    }
    void TearDown() override {
        forgetAnswer();
        drainMessages();
    }
};

}  // namespace

TEST_F(MessageBoxTest, StopNoticeShowsHandIconAndOneCentredOkButton) {
    Sighting seen;
    DialogDriver user([&](HWND box) {
        seen = look(box);
        clickButton(box, IDOK);
    });
    const int result = XMESSAGEBOX("Routine PXNCRANK * / logic.", "LOGIC ERROR", MB_ICONHAND);
    ASSERT_TRUE(user.acted());
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(seen.title, "LOGIC ERROR");
    EXPECT_EQ(seen.text, "Routine PXNCRANK * / logic.");
    EXPECT_TRUE(seen.iconShown);
    EXPECT_FALSE(seen.hasCheck);
    ASSERT_EQ(seen.buttons.size(), 1u);
    EXPECT_EQ(seen.buttons[0].caption, "&OK");
    EXPECT_TRUE(seen.buttons[0].isDefault);
    EXPECT_EQ(seen.focusId, IDOK);
    const int buttonCentre = (seen.buttons[0].rect.left + seen.buttons[0].rect.right) / 2;
    EXPECT_NEAR(buttonCentre, seen.clientWidth / 2, 2);
}

TEST_F(MessageBoxTest, ButtonSetsOrderAndDefaultsAndEscapeAlwaysGivesCancel) {
    struct Row {
        const char* what;
        UINT flags;
        std::vector<int> ids;
        int defaultId;
    } rows[] = {
        {"OK only; Esc still ends it with 2", MB_OK, {IDOK}, IDOK},
        {"OK, Cancel", MB_OKCANCEL, {IDOK, IDCANCEL}, IDOK},
        {"Abort, Retry, Ignore", MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, IDABORT},
        {"Yes, No, Cancel with the second as default", MB_YESNOCANCEL | MB_DEFBUTTON2,
         {IDYES, IDNO, IDCANCEL}, IDNO},
        {"Yes, No, Cancel with the third as default", MB_YESNOCANCEL | MB_DEFBUTTON3,
         {IDYES, IDNO, IDCANCEL}, IDCANCEL},
        {"Yes, No", MB_YESNO, {IDYES, IDNO}, IDYES},
        {"Retry, Cancel", MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, IDRETRY},
        {"a default beyond the buttons falls back to the first", MB_YESNO | MB_DEFBUTTON3,
         {IDYES, IDNO}, IDYES},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Sighting seen;
        DialogDriver user([&](HWND box) {
            seen = look(box);
            pressKey(box, VK_ESCAPE);
        });
        EXPECT_EQ(XMESSAGEBOX("Choose.", "SETS", row.flags), IDCANCEL);
        ASSERT_TRUE(user.acted());
        EXPECT_EQ(idsOf(seen.buttons), row.ids);
        EXPECT_EQ(defaultOf(seen.buttons), row.defaultId);
        EXPECT_EQ(seen.focusId, row.defaultId);
        EXPECT_FALSE(seen.iconShown);
    }
}

TEST_F(MessageBoxTest, ATaskModalBoxHoldsEveryWindowOfTheProgramAndGivesThemBack) {
    TestWindow first, second;
    bool enabledWhileShown[2] = {true, true};
    bool boxEnabled = false;
    DialogDriver user([&](HWND box) {
        enabledWhileShown[0] = IsWindowEnabled(first.hwnd()) != FALSE;
        enabledWhileShown[1] = IsWindowEnabled(second.hwnd()) != FALSE;
        boxEnabled = IsWindowEnabled(box) != FALSE;
        clickButton(box, IDOK);
    });
    EXPECT_EQ(XMESSAGEBOX("Wait for me.", "TASK", MB_TASKMODAL), IDOK);
    ASSERT_TRUE(user.acted());
    EXPECT_FALSE(enabledWhileShown[0]);
    EXPECT_FALSE(enabledWhileShown[1]);
    EXPECT_TRUE(boxEnabled);
    EXPECT_TRUE(IsWindowEnabled(first.hwnd()));
    EXPECT_TRUE(IsWindowEnabled(second.hwnd()));
}

TEST_F(MessageBoxTest, CaptionsAndTitleWhenNoneIsGiven) {
    Sighting seen;
    DialogDriver user([&](HWND box) {
        seen = look(box);
        clickButton(box, IDNO);
    });
    EXPECT_EQ(XMESSAGEBOX("Keep it?", std::nullopt, MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(seen.title, "Error");
    ASSERT_EQ(seen.buttons.size(), 3u);
    EXPECT_EQ(seen.buttons[0].caption, "&Yes");
    EXPECT_EQ(seen.buttons[1].caption, "&No");
    EXPECT_EQ(seen.buttons[2].caption, "Cancel");
    EXPECT_TRUE(seen.iconShown);
}

TEST_F(MessageBoxTest, AShortTextStillGivesABoxTwoHundredUnitsWide) {
    Sighting shortText, longText;
    {
        DialogDriver user([&](HWND box) {
            shortText = look(box);
            pressKey(box, VK_RETURN);
        });
        EXPECT_EQ(XMESSAGEBOX("Hi", "SHORT"), IDOK);
    }
    {
        DialogDriver user([&](HWND box) {
            longText = look(box);
            pressKey(box, VK_RETURN);
        });
        XMESSAGEBOX(std::string(150, 'W'), "LONG");
    }
    EXPECT_EQ(shortText.clientWidth, shortText.widthOf200Units);
    EXPECT_GT(longText.clientWidth, longText.widthOf200Units);
}

TEST_F(MessageBoxTest, ClearingTheCheckBoxRemembersTheAnswer) {
    Sighting seen;
    {
        DialogDriver user([&](HWND box) {
            seen = look(box);
            clickButton(box, kMessageBoxCheckId);  // the user clears the tick
            clickButton(box, IDYES);
        });
        EXPECT_EQ(XMESSAGEBOX("Save?", "ASK", MB_YESNO, nullptr, std::nullopt, kTestKey, kTestValue),
                  IDYES);
        ASSERT_TRUE(user.acted());
    }
    EXPECT_TRUE(seen.hasCheck);
    EXPECT_TRUE(seen.checkTicked);
    RegistryKey key(kTestKey);
    int stored = 0;
    ASSERT_TRUE(XREGGETINT(key.handle(), kTestValue, stored));
    EXPECT_EQ(stored, IDYES);

    // Asked again, the answer comes back without a box.
    DialogDriver nobody([](HWND box) { pressKey(box, VK_ESCAPE); });
    EXPECT_EQ(XMESSAGEBOX("Save?", "ASK", MB_YESNO, nullptr, std::nullopt, kTestKey, kTestValue),
              IDYES);
    pumpUntil([] { return false; }, 100);
    EXPECT_FALSE(nobody.acted());
}

TEST_F(MessageBoxTest, ATickedBoxStoresNothingAndEscapeWithItClearedStoresCancel) {
    {
        DialogDriver user([](HWND box) { clickButton(box, IDNO); });
        EXPECT_EQ(XMESSAGEBOX("Save?", "ASK", MB_YESNO, nullptr, std::nullopt, kTestKey, kTestValue),
                  IDNO);
    }
    RegistryKey key(kTestKey);
    int stored = 0;
    EXPECT_FALSE(XREGGETINT(key.handle(), kTestValue, stored));

    {
        DialogDriver user([](HWND box) {
            clickButton(box, kMessageBoxCheckId);
            pressKey(box, VK_ESCAPE);
        });
        EXPECT_EQ(XMESSAGEBOX("Save?", "ASK", MB_YESNO, nullptr, std::nullopt, kTestKey, kTestValue),
                  IDCANCEL);
    }
    ASSERT_TRUE(XREGGETINT(key.handle(), kTestValue, stored));
    EXPECT_EQ(stored, IDCANCEL);
}

TEST_F(MessageBoxTest, CallerCaptionsOfAnyLengthFitTheTemplate) {
    // Four long captions outgrow a block sized from the title and the text.
    const std::string longCaption(300, 'x');
    const std::array<std::string_view, 5> captions{"One", "Two   ", longCaption, "Four", "Five"};
    Sighting seen;
    DialogDriver user([&](HWND box) {
        seen = look(box);
        clickButton(box, 3);
    });
    EXPECT_EQ(XMESSAGEBOX("Pick", "MANY", 0, nullptr, std::nullopt, std::nullopt, std::nullopt,
                          nullptr, std::span<const std::string_view>(captions)),
              3);
    ASSERT_EQ(seen.buttons.size(), 4u);  // at most four
    EXPECT_EQ(idsOf(seen.buttons), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(seen.buttons[1].caption, "Two");
    EXPECT_EQ(seen.buttons[2].caption, longCaption);
}

TEST_F(MessageBoxTest, APendingQuitSurvivesTheBox) {
    drainMessages();
    PostQuitMessage(5);
    DialogDriver user([](HWND box) { pressKey(box, VK_RETURN); });
    EXPECT_EQ(XMESSAGEBOX("Still here", "QUIT"), IDOK);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(MessageBoxTest, AKeyThatCannotBeOpenedSuppressesTheBox) {
    DialogDriver nobody([](HWND box) { pressKey(box, VK_ESCAPE); });
    // A key name may not start with a backslash.
    EXPECT_EQ(XMESSAGEBOX("x", "y", MB_OK, nullptr, std::nullopt, "\\", kTestValue), 0);
    EXPECT_FALSE(nobody.acted());
}

TEST(DialogTemplateWriters, TextsOrdinalsAndAlignment) {
    DialogTemplate t;
    int at = PXPUTINT4(t, 0, 0x12345678);
    EXPECT_EQ(at, 2);
    EXPECT_EQ(t[0], 0x5678);
    EXPECT_EQ(t[1], 0x1234);
    at = PXPUTCHAR(t, at, "Ab ");  // trailing blank kept, then the zero
    EXPECT_EQ(at, 6);
    EXPECT_EQ(std::vector<WORD>(t.begin() + 2, t.begin() + 6), (std::vector<WORD>{'A', 'b', ' ', 0}));

    TemplateControl icon;
    icon.classOrdinal = kStaticClass;
    icon.textOrdinal = 103;
    const int start = at;
    at = PXPUTCONTROL(t, at, icon);
    // 9 units of item, class pair, text pair, creation word: 14, already even.
    EXPECT_EQ(at - start, 14);
    EXPECT_EQ(t[start + 9], 0xFFFF);
    EXPECT_EQ(t[start + 10], kStaticClass);
    EXPECT_EQ(t[start + 11], 0xFFFF);
    EXPECT_EQ(t[start + 12], 103);

    TemplateControl label;
    label.classOrdinal = kStaticClass;
    label.text = "odd";  // 9 + 2 + 4 + 1 = 16 units; "od" would need a pad
    EXPECT_EQ(PXPUTCONTROL(t, at, label) - at, 16);
    label.text = "od";
    EXPECT_EQ(PXPUTCONTROL(t, at, label) - at, 16);
    EXPECT_EQ(t[at + 14], 0);  // creation data
    EXPECT_EQ(t[at + 15], 0);  // the pad
}

// A file name with "&" in it is shown as written, not with the "&" taken for
// an access-key mark (which would show "bin ary _100%.par").
TEST_F(MessageBoxTest, TheTextShowsAmpersandsAsWritten) {
    Sighting seen;
    DialogDriver user([&](HWND box) {
        seen = look(box);
        clickButton(box, IDOK);
    });
    XMESSAGEBOX("Unable to read the parameter list from \"bin ary & 100%.par\".", "READ FAILURE", MB_ICONHAND);
    ASSERT_TRUE(user.acted());
    EXPECT_EQ(seen.text, "Unable to read the parameter list from \"bin ary & 100%.par\".");
    EXPECT_TRUE(seen.textTakesAmpersands);
}
