// A DLL planted beside a portable copy of Tallyon.exe (a winmm.dll in a
// Downloads folder) is never loaded: Windows looks in a program's own folder
// first for every DLL that is not one of its known DLLs, and winmm is not.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "PortableTallyon.h"
#include "WflWndTestSupport.h"

namespace fs = std::filesystem;

namespace {

fs::path ownFolder() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path();
}

bool runToEnd(const fs::path& program) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + program.wstring() + L"\"";
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        program.parent_path().wstring().c_str(), &startup, &process)) {
        return false;
    }
    const bool ended = WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended;
}

}  // namespace

TEST(PlantedDll, AWinmmBesideAPortableCopyIsNeverLoaded) {
    const fs::path planted = ownFolder() / "planted" / "winmm.dll";
    ASSERT_TRUE(fs::exists(planted));
    const fs::path base = fs::path(tempFolder()) / ("tallyon-planted-" + std::to_string(GetCurrentProcessId()));
    std::error_code error;
    fs::remove_all(base, error);
    // The control: a program that imports winmm does load the planted one.
    // Under Wine that needs winmm=n,b in WINEDLLOVERRIDES (tests/CMakeLists.txt
    // sets it for this binary), the search Windows makes for such a DLL.
    const fs::path control = base / "control";
    fs::create_directories(control);
    fs::copy_file(planted, control / "winmm.dll");
    fs::copy_file(ownFolder() / "planted" / "planted_importer.exe", control / "planted_importer.exe");
    ASSERT_TRUE(runToEnd(control / "planted_importer.exe"));
    ASSERT_TRUE(fs::exists(control / "planted-dll-ran.txt"))
        << "the planted DLL cannot be seen to run (under Wine: WINEDLLOVERRIDES must hold winmm=n,b)";

    {
        PortableTallyon tallyon(base / "app");
        fs::copy_file(planted, base / "app" / "winmm.dll");
        ASSERT_TRUE(tallyon.start());
        tallyon.evaluate("#SQRT(2)");
        EXPECT_EQ(tallyon.realResult(), "1.4142136");
        EXPECT_FALSE(fs::exists(base / "app" / "planted-dll-ran.txt"));
        ASSERT_TRUE(tallyon.quit());
        EXPECT_FALSE(fs::exists(base / "app" / "planted-dll-ran.txt"));
    }
    fs::remove_all(base, error);
}
