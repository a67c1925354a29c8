// The runner's handling of the add-in's loading and of steps out of order, with the
// messages a script's author sees.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/headless/runner/ScenarioRunner.h"

namespace vorra::headless {
namespace {

namespace fs = std::filesystem;

class ScenarioRunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        work = fs::temp_directory_path() / ("vorra-runner-test-" + std::to_string(::getpid()));
        fs::create_directories(work);
    }
    void TearDown() override { fs::remove_all(work); }

    // The failure of the script, or "passed".
    std::string run(const std::string& script, const std::string& addin = VORRA_TEST_ADDIN) {
        ScenarioRunner runner({work.string(), work.string()}, addin, output);
        if (runner.run(parseScript(script))) return "passed";
        return std::to_string(runner.failedLine()) + ": " + runner.failure();
    }
    fs::path work;
    std::ostringstream output;
};

TEST_F(ScenarioRunnerTest, CommandsNeedTheAddinStarted) {
    EXPECT_EQ(run("new workbook\nrun Hello\n"), "2: the add-in is not started: put a 'start' step first");
}

TEST_F(ScenarioRunnerTest, MissingLibraryIsNamed) {
    EXPECT_THAT(run("start\n", (work / "nowhere" / "libvorra.so").string()),
                ::testing::StartsWith("1: cannot copy the add-in $WORK/nowhere/libvorra.so into the add-in folder"));
}

TEST_F(ScenarioRunnerTest, LibraryWithoutEntryPointsIsRefused) {
    fs::path fake = work / "libfake.so";
    { std::ofstream(fake) << "not a library"; }
    EXPECT_THAT(run("start\n", fake.string()), ::testing::StartsWith("1: cannot load the add-in $ADDIN/libfake.so"));
}

TEST_F(ScenarioRunnerTest, HostVersionCannotChangeOnceTheHostIsUsed) {
    EXPECT_EQ(run("new workbook\nstart version \"11.0\"\n"),
              "2: the host version must be set before the first step that uses the host");
    EXPECT_EQ(run("start\nstart\n"), "2: the add-in is already started");
}

TEST_F(ScenarioRunnerTest, AnswersLeftAtTheEndFailTheRun) {
    EXPECT_EQ(run("start\nanswer message OK\n"), "2: answers queued for this step were not used: message (any) -> OK");
    EXPECT_THAT(output.str(), ::testing::HasSubstr("FAILED at the end"));
}

TEST_F(ScenarioRunnerTest, PathsPrintByTheirFolderNames) {
    EXPECT_EQ(run("start\nanswer file \"$DESKTOP/a.xls\" \"b.xls\" \"/abs/c.xls\"\nstop\n"),
              "3: answers queued for this step were not used: file-dialog -> \"$DESKTOP/a.xls\"");
    EXPECT_EQ(run("start marker\nexpect file \"$ADDIN/setting.ini\" exists\n"), "2: file $ADDIN/setting.ini does not exist");
    // A folder is named only as a whole: the work folder's name with more characters
    // after it is another folder.
    EXPECT_EQ(run("expect file \"" + work.string() + "2/a\" exists\n"),
              "1: file " + work.string() + "2/a does not exist");
}

// A wildcard in a file's name matches the files of its folder, for names that carry a time.
TEST_F(ScenarioRunnerTest, FilePatternsMatchAnyFileOfTheFolder) {
    EXPECT_EQ(run("start\nexpect file \"$ADDIN/*.so\" absent\n"), "2: file $ADDIN/*.so exists");
    EXPECT_EQ(run("start\nexpect file \"$ADDIN/*.xls\" exists\n"),
              "2: file $ADDIN/*.xls does not exist");
    EXPECT_EQ(run("start\nexpect file \"$WORK/nowhere/*.xls\" exists\n"),
              "2: file $WORK/nowhere/*.xls does not exist");
}

// Cell steps take the references the add-in's host takes; one it refuses names itself
// and the host's reason.
TEST_F(ScenarioRunnerTest, CellStepsTakeTheHostsReferences) {
    EXPECT_EQ(run("new workbook\nset Sheet1!B2 \"x\"\nexpect cell B2 \"x\"\nexpect cell 'Sheet1'!b2 \"x\"\n"
                  "set B3 7\nexpect cell $B$3 \"7\"\n"),
              "passed");
    EXPECT_EQ(run("new workbook\nexpect cell Nowhere!A1 \"\"\n"),
              "2: not a cell reference: 'Nowhere!A1' (Invalid reference \"Nowhere!A1\": no sheet named \"Nowhere\")");
    EXPECT_THAT(run("new workbook\nset B2:A 1\n"), ::testing::StartsWith("2: not a cell reference: 'B2:A' ("));
    EXPECT_THAT(run("set A1 1\n"), ::testing::StartsWith("1: not a cell reference: 'A1' ("));
}

// Cells compare by kind and value; the output shows what the cell holds.
TEST_F(ScenarioRunnerTest, CellExpectationsCompareKindAndValue) {
    const std::string book = "new workbook\nset A1 7\nset A2 \"'7\"\nset A3 \"=A1*2\"\n";
    const std::pair<const char*, const char*> cases[] = {
        {"expect cell A1 \"7\"\nexpect cell A2 \"7\"\nexpect cell B1 \"\"\n", "passed"},
        {"expect cell A1 number 7.0\nexpect cell A2 text \"7\"\nexpect cell B1 empty\n", "passed"},
        {"expect cell A2 number 7\n", "5: cell A2 is text \"7\", expected number 7"},
        {"expect cell B1 boolean TRUE\n", "5: cell B1 is empty, expected boolean TRUE"},
        {"expect cell A3 number 14\nexpect cell A3 formula \"=A1*2\"\n", "passed"},
        {"expect cell A3 formula \"=A1*3\"\n", "5: cell A3 is the formula \"=A1*2\", expected \"=A1*3\""},
        {"expect cell A1 text \"7.0\"\n", "5: cell A1 is displayed as \"7\", expected \"7.0\""},
    };
    for (const auto& [steps, result] : cases) {
        output.str("");
        EXPECT_EQ(run(book + steps), result) << steps;
    }
    EXPECT_THAT(output.str(), ::testing::HasSubstr("> expect cell A1 text \"7.0\"\n  number 7 displayed \"7\"\n"));
}

// A click on a cell selects it on its sheet; the selection is the host's.
TEST_F(ScenarioRunnerTest, SelectMovesTheHostsSelection) {
    EXPECT_EQ(run("new workbook\nselect B2:C3\nexpect selection B2:C3\n"), "passed");
    EXPECT_EQ(run("new workbook\nselect B2\nexpect selection A1\n"),
              "3: the selection is Sheet1!B2, expected Sheet1!A1");
}

// Each `expect printed` counts the jobs since the one before, with the pages the
// engine's print layout gives them; a sheet it cannot lay out counts no page, and one
// that does not fit one page is not printed.
TEST_F(ScenarioRunnerTest, PrintedJobsCountSinceTheLastExpectation) {
    const std::string printTwice = "start\nnew workbook\nset A1 \"x\"\nrun PrintSheet\nrun PrintSheet\n";
    EXPECT_EQ(run(printTwice + "expect printed 2 pages 2\nexpect printed 0\n"), "passed");
    EXPECT_EQ(run(printTwice + "expect printed 2\nset A20 \"y\"\nrun PrintSheet\nexpect printed 1 pages 2\n"),
              "9: printed 1 job of 1 page (Sheet1 1 page), expected 1 job of 2 pages");
    // A sheet that takes more than one page is refused by PrintOut: no job at all.
    EXPECT_EQ(run(printTwice + "expect printed 2\nset A120 \"y\"\nrun PrintSheet\nexpect printed 0\n"), "passed");
    EXPECT_THAT(run("start\nnew workbook\nrun PrintSheet\nexpect printed 1 pages 0\n"
                    "run PrintSheet\nexpect printed 2\n"),
                ::testing::StartsWith("6: printed 1 job of 0 pages (Sheet1 not laid out: "));
}

}  // namespace
}  // namespace vorra::headless
