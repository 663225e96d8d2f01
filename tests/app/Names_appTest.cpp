// Names as the user wrote them: files, folders and data folders named in
// Cyrillic, CJK, Greek and Polish, read from the command line, dropped,
// saved through the Save dialog and kept by the real program. A look-alike
// file the user's code page could spell lies beside each, and is never
// read or written.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "AppSession.h"
#include "PortableTallyon.h"
#include "TallyonRes.h"
#include "TestFiles.h"
#include "UserActions.h"
#include "WflStrings.h"
#include "WflWndTestSupport.h"
#include "XExpression.h"

namespace fs = std::filesystem;

namespace {

// A folder of its own under the temporary folder, empty, removed at the end.
// No file dialog may end in one: the next test's dialog would start there.
struct Scratch {
    explicit Scratch(const fs::path& name)
        : path(fs::path(tempFolder()) / (name.wstring() + L"-" + std::to_wstring(GetCurrentProcessId()))) {
        std::error_code error;
        fs::remove_all(path, error);
        fs::create_directories(path);
    }
    ~Scratch() {
        std::error_code error;
        fs::remove_all(path, error);
    }
    fs::path path;
};

// The names in the folder, as Windows holds them.
std::vector<std::wstring> namesIn(const fs::path& folder) {
    std::vector<std::wstring> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

// A drop of files as Explorer makes one: the names in UTF-16.
HGLOBAL droppedFiles(const std::vector<fs::path>& paths) {
    std::wstring list;
    for (const fs::path& p : paths) list += p.wstring() + L'\0';
    list += L'\0';
    const std::size_t bytes = list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), bytes);
    GlobalUnlock(memory);
    return memory;
}

// Waits for the question whether to replace a file, and answers Yes.
Step answerReplace(bool& asked) {
    return [&asked] {
        struct Search {
            HWND found = nullptr;
        } search;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM data) {
                char cls[16] = {};
                GetClassNameA(w, cls, sizeof cls);
                if (IsWindowVisible(w) && std::string(cls) == "#32770" && GetDlgItem(w, IDYES)) {
                    reinterpret_cast<Search*>(data)->found = w;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.found) return false;
        asked = true;
        PostMessageA(search.found, WM_COMMAND, IDYES, 0);
        return true;
    };
}

double valueOf(std::string_view name) {
    int index = 0;
    XPARAMFIND(name, index);
    XVALUE v;
    return index != 0 && XPARAMGET(index, v) ? v.realValue : -1;
}

constexpr char kSaveTitle[] = "Name of File to Receive Parameter List";

}  // namespace

// Files given on the command line and dropped on the window are the files
// named; Save writes the file named in the dialog, also over an existing
// one after the question; a missing file is told by its own name.
TEST(Names, FilesNamedInAnyScriptAreReadDroppedAndSavedAsNamed) {
    // In the temporary folder itself, where the other tests' file dialogs
    // work: the dialogs start in the folder the last one ended in.
    const fs::path dir = tempFolder();
    const std::wstring id = L"-" + std::to_wstring(GetCurrentProcessId()) + L".par";
    const fs::path japanese = dir / (L"\x65E5\x672C" + id), polish = dir / (L"\x0141\x00F3" L"d\x017A" + id);
    const fs::path greek = dir / (L"\x03A9mega" + id), greekNew = dir / (L"\x03A9mega-saved" + id);
    const Scratch cyrillic(u8"Мария");
    const fs::path missing = cyrillic.path / u8"無い.par";
    writeFile(japanese, "J=5 !\xE6\x97\xA5\xE6\x9C\xAC\r\n");
    writeFile(polish, "L=3 !\xC5\x81\xC3\xB3" "d\xC5\xBA\r\n");
    writeFile(greek, "X=0 !old\r\n");
    const std::pair<fs::path, std::string> decoys[] = {
        {dir / (L"Lodz" + id), "L=99 !a decoy\r\n"},
        {dir / (L"Omega" + id), "O=1 !a decoy\r\n"},
        {dir / (L"Omega-saved" + id), "O=2 !a decoy\r\n"},
    };
    for (const auto& [path, bytes] : decoys) writeFile(path, bytes);
    struct Cleanup {
        std::vector<fs::path> files;
        ~Cleanup() {
            std::error_code error;
            for (const fs::path& f : files) fs::remove(f, error);
        }
    } cleanup{{japanese, polish, greek, greekNew, decoys[0].first, decoys[1].first, decoys[2].first}};

    std::string failure;
    double j = 0, l = 0;
    bool saveSeen = false, asked = false, secondSeen = false;
    const std::string commandLine = "\"" + japanese.string() + "\" \"" + missing.string() + "\"";
    const int code = runProgram({
        answerNotice("READ FAILURE", failure),
        [] { return XPARAMCOUNT() == 1; },
        [&] {
            PostMessageA(mainWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(droppedFiles({polish})), 0);
            return true;
        },
        [] { return XPARAMCOUNT() == 2; },
        expect([&] {
            j = valueOf("J");
            l = valueOf("L");
        }),
        [&] { return SetCurrentDirectoryW(dir.wstring().c_str()) != FALSE; },
        click(IDB_MAIN_SAVE),
        answerFileDialog(kSaveTitle, greek.filename().string(), saveSeen),
        answerReplace(asked),
        [&] { return slurp(greek) != "X=0 !old\r\n"; },
        click(IDB_MAIN_SAVE),
        answerFileDialog(kSaveTitle, greekNew.filename().string(), secondSeen),
        [&] { return fs::exists(greekNew); },
        click(IDCANCEL),
    }, {}, commandLine);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(j, 5);
    EXPECT_EQ(l, 3);
    EXPECT_NE(failure.find(missing.string()), std::string::npos) << failure;
    EXPECT_TRUE(saveSeen && asked && secondSeen);
    const std::string table = "J=5 !\xE6\x97\xA5\xE6\x9C\xAC\r\nL=3 !\xC5\x81\xC3\xB3" "d\xC5\xBA\r\n";
    EXPECT_EQ(slurp(greek), table);
    EXPECT_EQ(slurp(greekNew), table);
    for (const auto& [path, bytes] : decoys) EXPECT_EQ(slurp(path), bytes) << path.string();
}

// A portable copy in a folder named in Cyrillic keeps its data beside
// itself, and reads the Greek-named file it is started with.
TEST(Names, APortableCopyInACyrillicFolderKeepsItsDataThere) {
    const Scratch dir(u8"tallyon-Мария");
    const fs::path folder = dir.path / "app";
    PortableTallyon tallyon(folder);
    writeFile(folder / u8"Ωmega.par", "W=7 !Z\xC3\xBCrich caf\xC3\xA9\r\n");
    writeFile(folder / "Omega.par", "W=1 !a decoy\r\n");
    ASSERT_TRUE(tallyon.start("\"" + (folder / u8"Ωmega.par").string() + "\""));
    tallyon.evaluate("W*2");
    EXPECT_EQ(tallyon.realResult(), "14.0000000");
    ASSERT_TRUE(tallyon.quit());
    EXPECT_EQ(slurp(folder / "history.txt"), "W*2\r\n");
    EXPECT_EQ(slurp(folder / "parameters.par"), "W=7 !Z\xC3\xBCrich caf\xC3\xA9\r\n");
    EXPECT_EQ(slurp(folder / "Omega.par"), "W=1 !a decoy\r\n");
}

// An installed copy keeps its data in %APPDATA%, here a Polish user's
// folder, as the launcher (this test) hands it over in UTF-16.
TEST(Names, AnInstalledCopyUsesTheAppDataFolderAsNamed) {
    const Scratch dir("tallyon-users");
    const fs::path appData = dir.path / u8"Łukasz" / "AppData";
    fs::create_directories(appData);
    PortableTallyon tallyon(dir.path / "program", true, false);
    ASSERT_TRUE(tallyon.start({}, appData.wstring()));
    tallyon.evaluate("6*7");
    EXPECT_EQ(tallyon.realResult(), "42.0000000");
    ASSERT_TRUE(tallyon.quit());
    EXPECT_EQ(slurp(appData / "Tallyon" / "history.txt"), "6*7\r\n");
    EXPECT_EQ(namesIn(dir.path), (std::vector<std::wstring>{L"program", L"\x0141ukasz"}));
}

// This program runs in the UTF-8 code page. Half of a surrogate pair, which
// Windows allows in a file name, becomes "?" (no file has it), not the
// replacement character U+FFFD (a file may have that).
TEST(Names, NarrowingToUtf8NeverNamesAnotherFile) {
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    EXPECT_EQ(XMULTIBYTE(L"\x03A9mega.par"), "\xCE\xA9mega.par");
    EXPECT_EQ(XMULTIBYTE(L"\xD83D\xDE00.par"), "\xF0\x9F\x98\x80.par");  // a pair is one character
    EXPECT_EQ(XMULTIBYTE(L"a\xD800" L"b.par"), "a?b.par");
    EXPECT_FALSE(XMULTIBYTEEXACT(L"a\xD800" L"b.par").has_value());
}

// In the main window a sign outside the language is told where it stands,
// the mark under it counted in characters; a name in another script is a
// name, whatever its case.
TEST(Names, TheMainWindowTakesExpressionsAsTyped) {
    ErrorSeen infinity;
    Results cyrillic;
    const int code = runProgram({
        settle(),
        [] { return XPARAMNEW("\xD0\xB4\xD0\xBB\xD0\xB8\xD0\xBD\xD0\xB0", "2.5", ""); },  // длина
        type("\xC3\xA9+\xE2\x88\x9E"), click(IDB_MAIN_EVALUATE),  // é+∞
        answerError(infinity),
        type("\xD0\x94\xD0\x9B\xD0\x98\xD0\x9D\xD0\x90*2"), click(IDB_MAIN_EVALUATE),  // ДЛИНА*2
        [&] {
            cyrillic = results();
            return !cyrillic.complex.empty();
        },
        click(IDCANCEL),
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(infinity.message, "Illegal character used");
    EXPECT_EQ(infinity.display, "\xC3\xA9+\xE2\x88\x9E");
    EXPECT_EQ(infinity.marker, "  ^");
    EXPECT_EQ(cyrillic.real, "5.0000000");
}

// A path whose folder alone passes 256 bytes in UTF-8 (two folders of 65
// Cyrillic letters; under Wine a name takes at most 255 bytes of the Unix
// file system) goes through the Save and Read dialogs whole: never cut
// into another name.
TEST(Names, ALongCyrillicPathIsSavedAndReadWhole) {
    std::wstring folderName;
    for (int i = 0; i < 65; ++i) folderName += static_cast<wchar_t>(0x0430 + i % 32);  // а..я
    const Scratch dir(folderName);
    const fs::path deeper = dir.path / folderName;
    fs::create_directories(deeper);
    const fs::path file = deeper / (folderName.substr(0, 40) + L".par");
    ASSERT_GT(deeper.string().size(), 256u);
    // The dialogs start where the last one ended: the last save goes back
    // to the temporary folder, where the other tests' dialogs work.
    const fs::path home = fs::path(tempFolder()) / ("tallyon-home-" + std::to_string(GetCurrentProcessId()) + ".par");
    bool saved = false, read = false, back = false;
    int countAfterRead = 0;
    const int code = runProgram({
        [] {
            XPARAMNEW("LONG", "42", "a long path");
            return true;
        },
        click(IDB_MAIN_SAVE),
        answerFileDialog(kSaveTitle, file.string(), saved),
        [&] { return fs::exists(file); },
        [] {
            resetExpressionEngine();
            return true;
        },
        click(IDB_MAIN_READ),
        answerFileDialog("Parameter List File to Read", file.string(), read),
        [&] {
            countAfterRead = XPARAMCOUNT();
            return countAfterRead == 1;
        },
        click(IDB_MAIN_SAVE),
        answerFileDialog(kSaveTitle, home.string(), back),
        [&] { return fs::exists(home); },
        click(IDCANCEL),
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(saved && read && back);
    EXPECT_EQ(slurp(file), "LONG=42 !a long path\r\n");
    EXPECT_EQ(countAfterRead, 1);
    std::error_code error;
    fs::remove(home, error);
}
