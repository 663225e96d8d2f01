// File dialogs driven as a user drives them, and the file-system services.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <span>
#include <string>

#include "FixedText.h"
#include "WflFile.h"
#include "WflWnd.h"
#include "WflWndTestSupport.h"

namespace {

// What the scripted user saw in the dialog, and what to type.
struct Script {
    const char* title = "";
    std::string type;        // file name to type; empty: press Cancel
    bool seen = false;
    RECT box{};
    std::string filterShown;
};
Script script;

HWND fileNameEdit(HWND dialog) {
    // Explorer-style dialogs hold the name in combo box 0x47C (with an edit
    // inside); older layouts in edit 0x480.
    if (HWND combo = GetDlgItem(dialog, 0x47C)) {
        if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr)) return edit;
        return combo;
    }
    return GetDlgItem(dialog, 0x480);
}

void CALLBACK actAsUser(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowA(nullptr, script.title);
    if (dialog == nullptr || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, timer);
    script.seen = true;
    GetWindowRect(dialog, &script.box);
    char shown[256] = {};
    if (HWND types = GetDlgItem(dialog, 0x470)) GetWindowTextA(types, shown, sizeof shown);  // cmb1
    script.filterShown = shown;
    if (script.type.empty()) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    SetWindowTextA(fileNameEdit(dialog), script.type.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

class FileDialog : public ::testing::Test {
protected:
    void SetUp() override {
        owner.hwnd = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 100, 80, 600, 400, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(owner.hwnd, nullptr);
        script = Script{};
        SetTimer(nullptr, 0, 50, actAsUser);
    }
    void TearDown() override { DestroyWindow(owner.hwnd); }
    XWND owner{};
};

const std::string_view kPatterns[] = {"*.par; *.txt; *.*  "};
const std::string_view kDescriptions[] = {"Parameter File", "unused: no pattern pairs with it"};

}  // namespace

TEST(FileFilter, PairsAsManyAsTheShorterListHolds) {
    const std::string list = fileFilterList({kPatterns, kDescriptions});
    EXPECT_EQ(list, std::string("Parameter File\0*.par; *.txt; *.*\0\0", 34));
    EXPECT_EQ(fileFilterList({}), std::string("All files (*.*)\0*\0\0", 19));
}

TEST_F(FileDialog, SaveThenOpenWhereTheFirstEnded) {
    const std::string folder = tempFolder();
    FixedText<256> directory(folder);
    FixedText<256> fileName;
    script.title = "Name of File to Receive Parameter List";
    script.type = "tallyon-dialog-test.par";
    DeleteFileA((folder + "\\" + script.type).c_str());

    ASSERT_TRUE(XGETSAVEFILE(owner, directory, fileName, std::nullopt, {kPatterns, kDescriptions},
                             "Name of File to Receive Parameter List"));
    EXPECT_TRUE(script.seen);
    EXPECT_EQ(script.filterShown, "Parameter File");
    EXPECT_EQ(fileName.view(), "tallyon-dialog-test.par");
    const std::string path = std::string(directory.view()) + "\\" + std::string(fileName.view());
    // Centred over the owner (100, 80, 700, 480) when no position is given.
    const int width = script.box.right - script.box.left;
    EXPECT_EQ(script.box.left, (100 + 700 - width) / 2);

    FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("x=1 !\n", f);
    std::fclose(f);

    // The open dialog starts in the folder the save dialog ended in; the
    // name typed there is found relative to it.
    script = Script{};
    script.title = "Parameter List File to Read";
    script.type = "tallyon-dialog-test.par";
    SetTimer(nullptr, 0, 50, actAsUser);
    FixedText<256> openName;
    int filterIndex = 1;
    ASSERT_TRUE(PXGETOPENFILE_1(owner, directory, filterIndex, openName, std::nullopt,
                                {kPatterns, kDescriptions}, "Parameter List File to Read"));
    EXPECT_EQ(std::string(directory.view()) + "\\" + std::string(openName.view()), path);
    EXPECT_EQ(filterIndex, 1);
    DeleteFileA(path.c_str());
}

TEST_F(FileDialog, CancelLeavesTheFieldsAlone) {
    FixedText<256> directory(tempFolder());
    FixedText<256> fileName("keep-me.par");
    script.title = "Save";
    ASSERT_FALSE(XGETSAVEFILE(owner, directory, fileName));  // default title
    EXPECT_TRUE(script.seen);
    EXPECT_EQ(fileName.view(), "keep-me.par");
    EXPECT_EQ(directory.view(), tempFolder());
}

TEST_F(FileDialog, PlacedAtAGivenPosition) {
    FixedText<256> directory(tempFolder());
    FixedText<256> fileName;
    script.title = "Open";
    int filterIndex = 0;
    EXPECT_FALSE(PXGETOPENFILE_1(owner, directory, filterIndex, fileName, std::nullopt, {}, {}, {30, 40}));
    EXPECT_TRUE(script.seen);
    EXPECT_EQ(script.box.left, 30);
    EXPECT_EQ(script.box.top, 40);
    EXPECT_EQ(script.filterShown, "All files (*.*)");
}

TEST_F(FileDialog, SeveralChosenFilesComeBackAsTheFolderAndTheirNames) {
    const std::string folder = tempFolder();
    for (const char* name : {"tallyon-multi-a.par", "tallyon-multi-b.par"}) {
        FILE* f = std::fopen((folder + "\\" + name).c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    FixedText<256> directory(folder);
    FixedText<64> first("stale"), second("stale"), third("stale");
    const std::span<char> names[] = {first, second, third};
    script.title = "Open";
    script.type = "\"tallyon-multi-a.par\" \"tallyon-multi-b.par\"";
    int filterIndex = 0;
    ASSERT_TRUE(PXGETOPENFILE_2(owner, directory, filterIndex, names));
    EXPECT_TRUE(script.seen);
    EXPECT_EQ(directory.view(), folder);
    EXPECT_EQ(first.view(), "tallyon-multi-a.par");
    EXPECT_EQ(second.view(), "tallyon-multi-b.par");
    EXPECT_EQ(third.view(), "");  // more fields than files: the rest are blank
    for (const char* name : {"tallyon-multi-a.par", "tallyon-multi-b.par"}) DeleteFileA((folder + "\\" + name).c_str());
}

TEST(FileSystem, EnumeratesAndMakesShortcuts) {
    const std::string folder = tempFolder() + "\\tallyon-enum-test";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : {"a.par", "b.txt"}) {
        FILE* f = std::fopen((folder + "\\" + name).c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    std::vector<std::string> names = XENUMFILES(folder + "   ");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.par", "b.txt"}));
    EXPECT_TRUE(XENUMFILES(folder + "\\missing").empty());

    const std::string link = folder + "\\a.lnk";
    EXPECT_TRUE(XCREATESHORTCUT(folder + "\\a.par", link, "a parameter file"));
    EXPECT_NE(GetFileAttributesA(link.c_str()), INVALID_FILE_ATTRIBUTES);

    for (const char* name : {"a.par", "b.txt", "a.lnk"}) DeleteFileA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
}
