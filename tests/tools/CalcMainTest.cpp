// tallyon-calc as a whole: its save is the safe save, so a save that fails
// at any step leaves the old file byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CalcMain.h"
#include "TallyonVersion.h"
#include "TestFiles.h"
#include "engine/FailingSaveSteps.h"
#include "engine/EngineTestSupport.h"

namespace fs = std::filesystem;

namespace {

class CalcMainTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        folder = fs::temp_directory_path() /
                 ("tallyon-calc-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override {
        fs::remove_all(folder);
        EngineTest::TearDown();
    }
    int run(const std::vector<std::string>& args, const SaveStepsFactory& steps = makePlatformSaveSteps) {
        std::istringstream in;
        out.str("");
        err.str("");
        return runTallyonCalc(args, {in, out, err}, steps);
    }
    std::vector<std::string> filesLeft() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path folder;
    std::ostringstream out, err;
};

TEST_F(CalcMainTest, FailedSaveKeepsTheOldFileAtEveryStep) {
    const fs::path target = folder / "kept.par";
    const fs::path source = folder / "new.par";
    std::string old;
    for (int i = 0; i < 100; ++i) old += "OLD" + std::to_string(i) + "=" + std::to_string(i) + " !\r\n";
    std::ofstream(target, std::ios::binary) << old;
    std::string fresh;
    for (int i = 0; i < 300; ++i) fresh += "NEW" + std::to_string(i) + "=" + std::to_string(i) + " !a longer comment\n";
    std::ofstream(source, std::ios::binary) << fresh;

    for (int step = 1; step <= 5; ++step) {
        SCOPED_TRACE("failing step " + std::to_string(step));
        resetExpressionEngine();
        clearRecords();
        const int status = run({"--params", source.string(), "--save", target.string()},
                               [step] { return std::make_unique<FailingSteps>(step); });
        EXPECT_EQ(status, 2);
        EXPECT_EQ(slurp(target), old);
        EXPECT_EQ(filesLeft(), (std::vector<std::string>{"kept.par", "new.par"}));
        ASSERT_EQ(notices.notices.size(), 1u);
        EXPECT_EQ(notices.notices[0].caption, "SAVE FAILURE");
    }

    // The same run with nothing failing replaces the file whole.
    resetExpressionEngine();
    EXPECT_EQ(run({"--params", source.string(), "--save", target.string()}), 0);
    std::string saved = slurp(target);
    std::erase(saved, '\r');
    EXPECT_EQ(saved.substr(0, 26), "NEW0=0 !a longer comment\nN");
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 300);
}

TEST_F(CalcMainTest, HelpAndBadUsage) {
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_NE(out.str().find("usage: tallyon-calc"), std::string::npos);
    // Every option the program accepts is in its usage text.
    for (const char* option : {"--real-only", "--params FILE", "--list", "--save FILE", "--json", "--notation NAME",
                               "--digits N", "--polar", "--version", "--help"}) {
        SCOPED_TRACE(option);
        EXPECT_NE(out.str().find(std::string("  ") + option + " "), std::string::npos);
    }
    EXPECT_EQ(run({"--save"}), 2);
    EXPECT_NE(err.str().find("--save needs a file name"), std::string::npos);
    struct Bad {
        std::vector<std::string> args;
        const char* told;
    } bad[] = {
        {{"--digits"}, "--digits needs a number"},
        {{"--digits", "0", "--notation", "eng", "1"}, "--digits takes 1 to 17, not 0"},
        {{"--digits", "18", "--notation", "eng", "1"}, "--digits takes 1 to 17, not 18"},
        {{"--digits", "x", "--notation", "eng", "1"}, "--digits takes 1 to 17, not x"},
        {{"--notation", "engineering", "1"}, "--notation takes described, fixed, sci, eng or shortest, not engineering"},
        {{"--digits", "4", "1"}, "--digits needs --notation fixed, sci or eng"},
        {{"--digits", "4", "--notation", "shortest", "1"}, "--digits needs --notation fixed, sci or eng"},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.told);
        err.str("");
        EXPECT_EQ(run(b.args), 2);
        EXPECT_NE(err.str().find(b.told), std::string::npos) << err.str();
    }
}

// --version prints the project's version and nothing else, also when
// expressions and other options stand around it: none of them is evaluated.
TEST_F(CalcMainTest, VersionPrintsTheProjectVersionOnly) {
    const std::vector<std::vector<std::string>> cases = {
        {"--version"},
        {"1/0", "--version"},
        {"--json", "--version", "(2"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.front());
        EXPECT_EQ(run(args), 0);
        EXPECT_EQ(out.str(), "tallyon-calc " TALLYON_VERSION "\n");
        EXPECT_EQ(err.str(), "");
    }
}

}  // namespace
