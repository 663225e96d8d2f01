// Saving over a file that another process holds open for a moment, as
// antivirus scanners and indexers do.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "ParamListFile.h"
#include "TestFiles.h"
#include "engine/EngineTestSupport.h"
#include "Seams.h"
#include "XExpression.h"

namespace fs = std::filesystem;

namespace {

class LockedTarget : public ::testing::Test {
protected:
    void SetUp() override {
        resetExpressionEngine();
        XPARAMNEW("A", "1", "");
        folder = fs::temp_directory_path() / "tallyon-locked";
        fs::remove_all(folder);
        fs::create_directories(folder);
        target = folder / "a.par";
        std::ofstream(target, std::ios::binary) << "OLD=1 !\r\n";
    }
    void TearDown() override { fs::remove_all(folder); }
    // Opens the target the way a scanner does: no sharing at all.
    HANDLE lock() const {
        return CreateFileA(target.string().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    fs::path folder, target;
};

}  // namespace

TEST_F(LockedTarget, ShortLockIsWaitedOut) {
    HANDLE held = lock();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        CloseHandle(held);
    });
    ScopedNoticeRecorder notices;
    const bool saved = saveParameterList(target.string());
    release.join();
    EXPECT_TRUE(saved);
    EXPECT_TRUE(notices.captions().empty());
    EXPECT_EQ(slurp(target), "A=1 !\r\n");
}

TEST_F(LockedTarget, LastingLockFailsWithTheOldFileIntact) {
    HANDLE held = lock();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ScopedNoticeRecorder notices;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(saveParameterList(target.string()));
    const auto waited = std::chrono::steady_clock::now() - start;
    CloseHandle(held);
    EXPECT_EQ(slurp(target), "OLD=1 !\r\n");
    EXPECT_EQ(notices.captions(), std::vector<std::string>{"SAVE FAILURE"});
    EXPECT_GE(waited, std::chrono::milliseconds(500));  // it did try again, but gave up
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++entries;
    EXPECT_EQ(entries, 1u);  // the temporary file is gone
}

TEST_F(LockedTarget, ReadOnlyTargetIsNotReplaced) {
    SetFileAttributesA(target.string().c_str(), FILE_ATTRIBUTE_READONLY);
    ScopedNoticeRecorder notices;
    EXPECT_FALSE(saveParameterList(target.string()));
    EXPECT_EQ(slurp(target), "OLD=1 !\r\n");
    EXPECT_EQ(notices.captions(), std::vector<std::string>{"SAVE FAILURE"});
    SetFileAttributesA(target.string().c_str(), FILE_ATTRIBUTE_NORMAL);
}
