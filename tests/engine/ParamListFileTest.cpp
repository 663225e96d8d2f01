// A save that fails at any step leaves the old file whole, removes its
// temporary file and tells the user; reading a missing file says so too.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ParamListFile.h"
#include "engine/FailingSaveSteps.h"
#include "TestFiles.h"
#include "engine/EngineTestSupport.h"
#include "Seams.h"
#include "XExpression.h"
#ifndef _WIN32
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "SafeSave_posix.h"
#endif

namespace fs = std::filesystem;

namespace {

class SaveFixture : public ::testing::Test {
protected:
    void SetUp() override {
        resetExpressionEngine();
        folder = fs::temp_directory_path() / ("tallyon-save-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        target = folder / "units.par";
        std::ofstream(target, std::ios::binary) << "OLD=1 !the old content\n";
        XPARAMNEW("inch", "2.54", "cm", true);
        XPARAMNEW("foot", "12*inch", "");
    }
    void TearDown() override { fs::remove_all(folder); }
    std::vector<fs::path> files() const {
        std::vector<fs::path> out;
        for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename());
        return out;
    }
    fs::path folder, target;
};

}  // namespace

TEST_F(SaveFixture, EveryFailingStepKeepsTheOldFile) {
    const std::string old = slurp(target);
    for (int k = 1; k <= 5; ++k) {
        SCOPED_TRACE("failing step " + std::to_string(k));
        ScopedNoticeRecorder notices;
        FailingSteps steps(k);
        EXPECT_FALSE(saveParameterList(target.string(), steps));
        EXPECT_EQ(slurp(target), old);
        EXPECT_EQ(files(), std::vector<fs::path>{"units.par"});  // no temporary file left
        ASSERT_EQ(notices.seen().size(), 1u);
        EXPECT_EQ(notices.seen()[0], "SAVE FAILURE: Unable to save the parameter list to \"" + target.string() + "\".");
    }
}

TEST_F(SaveFixture, SuccessfulSaveReplacesTheFileWhole) {
    ScopedNoticeRecorder notices;
    ASSERT_TRUE(saveParameterList(target.string()));
    EXPECT_TRUE(notices.seen().empty());
    std::string text = slurp(target);
    std::erase(text, '\r');
    EXPECT_EQ(text, "*inch=2.54 !cm\nfoot=12*inch !\n");
    EXPECT_EQ(files(), std::vector<fs::path>{"units.par"});

    // Read back into an empty table.
    resetExpressionEngine();
    ASSERT_TRUE(readParameterList(target.string()));
    ASSERT_EQ(XPARAMCOUNT(), 2);
    XVALUE v;
    ASSERT_TRUE(XPARAMGET(2, v));
    EXPECT_DOUBLE_EQ(v.realValue, 12 * 2.54);
}

TEST_F(SaveFixture, SaveIntoAMissingFolderFails) {
    ScopedNoticeRecorder notices;
    const fs::path missing = folder / "no-such-folder" / "x.par";
    EXPECT_FALSE(saveParameterList(missing.string()));
    ASSERT_EQ(notices.seen().size(), 1u);
    EXPECT_EQ(notices.seen()[0], "SAVE FAILURE: Unable to save the parameter list to \"" + missing.string() + "\".");
}

TEST_F(SaveFixture, ReadOfAMissingFileLeavesTheTableAndSaysSo) {
    ScopedNoticeRecorder notices;
    const fs::path missing = folder / "missing.par";
    EXPECT_FALSE(readParameterList(missing.string()));
    EXPECT_EQ(XPARAMCOUNT(), 2);
    ASSERT_EQ(notices.seen().size(), 1u);
    EXPECT_EQ(notices.seen()[0], "READ FAILURE: Unable to read the parameter list from \"" + missing.string() + "\".");
}

// What cannot be a parameter list is refused whole: the table stays as it
// was and the user hears why, once.
TEST_F(SaveFixture, ReadRefusesWhatIsNoParameterList) {
    const fs::path program = folder / "program.exe";
    std::string bytes = "MZ";
    bytes += std::string(3, '\0');
    bytes += "\nA=1\n\x90\x90=2\n";
    std::ofstream(program, std::ios::binary) << bytes;
    const fs::path late = folder / "late.par";
    std::ofstream(late, std::ios::binary) << std::string(70000, ' ') + "\nB=1\n" + std::string("C\0=2\n", 5);
    fs::create_directory(folder / "dir.par");
    struct Row {
        const char* what;
        fs::path path;
        std::string notice;  // "" = read
    } rows[] = {
        {"a program", program, "READ FAILURE: \"" + program.string() + "\" is not a parameter list (it holds binary data)."},
        {"a folder", folder / "dir.par",
         "READ FAILURE: Unable to read the parameter list from \"" + (folder / "dir.par").string() + "\"."},
        // Text for its first 64 KB: read line by line as any text file.
        {"a NUL past the first 64 KB", late, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ScopedNoticeRecorder notices;
        const bool read = readParameterList(r.path.string());
        EXPECT_EQ(read, r.notice.empty());
        if (r.notice.empty()) {
            EXPECT_EQ(XPARAMCOUNT(), 4);  // B and C joined the two of the fixture
        } else {
            EXPECT_EQ(XPARAMCOUNT(), 2);
            EXPECT_EQ(notices.seen(), std::vector<std::string>{r.notice});
        }
    }
}

// The closing count of a read with many faulty lines names the file.
TEST_F(SaveFixture, ReadWarningsNameTheFile) {
    const fs::path junk = folder / "junk.par";
    std::string text;
    for (int i = 0; i < 25; ++i) text += "9X" + std::to_string(i) + "=1\r\n";
    std::ofstream(junk, std::ios::binary) << text;
    ScopedNoticeRecorder notices;
    EXPECT_TRUE(readParameterList(junk.string()));
    ASSERT_EQ(notices.seen().size(), 11u);
    EXPECT_EQ(notices.seen().back(), "READ WARNINGS: 15 more lines of \"" + junk.string() +
                                         "\" had faults; they were read as the first ones were.");
}

#ifndef _WIN32
// A real full disk: the temporary file is /dev/full, so our own write and
// flush code meets ENOSPC from the system.
class FullDiskSteps : public PosixSaveSteps {
public:
    bool createTemp(const std::string& target, std::string& temp) override {
        if (!PosixSaveSteps::createTemp(target, temp)) return false;
        const int full = open("/dev/full", O_WRONLY);
        if (full < 0) return false;
        dup2(full, fd_);
        ::close(full);
        return true;
    }
};

// Makes `dir` refuse new files: write permission off, and where that does
// not bind (root ignores it) the immutable flag, which binds root too.
// Returns false when neither works here.
bool refuseNewFiles(const fs::path& dir, bool& immutable) {
    immutable = false;
    fs::permissions(dir, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    auto refuses = [&] {
        const fs::path probe = dir / "probe";
        const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0) return true;
        ::close(fd);
        fs::remove(probe);
        return false;
    };
    if (refuses()) return true;
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags |= FS_IMMUTABLE_FL;
        immutable = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return refuses();
}

void allowNewFiles(const fs::path& dir, bool immutable) {
    if (immutable) {
        const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0) ::close(fd);
    }
    fs::permissions(dir, fs::perms::owner_write, fs::perm_options::add);
}

// A folder that takes no new file: the temporary file cannot be made, so
// the old file stays as it was and the user hears of it.
TEST_F(SaveFixture, SaveIntoAReadOnlyFolderKeepsTheOldFile) {
    const std::string old = slurp(target);
    bool immutable = false;
    if (!refuseNewFiles(folder, immutable)) {
        allowNewFiles(folder, immutable);
        GTEST_SKIP() << "no way to make a read-only folder here";
    }
    ScopedNoticeRecorder notices;
    const bool saved = saveParameterList(target.string());
    const std::vector<fs::path> left = files();
    const std::string now = slurp(target);
    allowNewFiles(folder, immutable);
    EXPECT_FALSE(saved);
    EXPECT_EQ(now, old);
    EXPECT_EQ(left, std::vector<fs::path>{"units.par"});
    ASSERT_EQ(notices.seen().size(), 1u);
    EXPECT_EQ(notices.seen()[0], "SAVE FAILURE: Unable to save the parameter list to \"" + target.string() + "\".");
}

TEST_F(SaveFixture, WritingToAFullDiskKeepsTheOldFile) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
    for (int i = 0; i < 200; ++i) XPARAMNEW("p" + std::to_string(i), "1", std::string(60, 'c'));  // more than a buffer
    const std::string old = slurp(target);
    ScopedNoticeRecorder notices;
    FullDiskSteps steps;
    EXPECT_FALSE(saveParameterList(target.string(), steps));
    EXPECT_EQ(slurp(target), old);
    EXPECT_EQ(files(), std::vector<fs::path>{"units.par"});
    EXPECT_EQ(notices.seen().size(), 1u);
}
#endif
