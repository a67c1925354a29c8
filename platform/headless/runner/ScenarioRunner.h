#pragma once
// Runs a parsed scenario against the add-in: loads the library as the host loads it,
// drives the host and the headless toolkit step by step, and writes stable text
// (each step, then what it caused) that a test can compare with expected output.

#include <array>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "HostPlatform.h"
#include "Script.h"
#include "platform/headless/toolkit/HeadlessToolkit.h"
#include "platform/headless/toolkit/UserActions.h"
#include "platform/loader/AddinLibrary.h"
#include "platform/print/PrintCalibration.h"

namespace vorra::headless {

struct RunnerFolders {
    std::string work;    // scratch folder: relative paths, the add-in folder, the desktop
    std::string script;  // folder of the script: $SCRIPT
    std::string prints = {};  // PDF files of the sheets printed; empty: printing only reports
    // How the pages of those PDF files are moved: the calibration of print to file.
    print::Calibrations calibrations = {};
};

class ScenarioRunner {
public:
    // addinPath: the library to load (copied into the add-in folder first).
    ScenarioRunner(RunnerFolders folders, std::string addinPath, std::ostream& out);
    ~ScenarioRunner();
    ScenarioRunner(const ScenarioRunner&) = delete;
    ScenarioRunner& operator=(const ScenarioRunner&) = delete;

    // Runs every step; on the first failure prints "FAILED line N: message" and
    // returns false. The add-in is disconnected and unloaded at the end either way.
    bool run(const std::vector<Step>& steps);
    // The message of the failure, "" after success.
    const std::string& failure() const { return failure_; }
    int failedLine() const { return failedLine_; }

    const std::string& addinFolder() const { return addinFolder_; }
    const std::string& desktopFolder() const { return desktopFolder_; }

private:
    void execute(const Step& step);
    void afterAction();
    void start(const Step& step);
    void stop();
    HostPlatform& platform();
    host::AddinConnection& connection();
    std::shared_ptr<dialogs::Form> form(const std::string& name);
    dialogs::Control& control(const Step& step);
    host::Range range(const std::string& reference);
    std::string resolve(const std::string& path) const;
    std::array<std::pair<std::string, std::string>, 4> folderNames() const;
    std::string expandFolders(std::string text) const;
    std::string shorten(std::string text) const;
    void print(const std::string& line);
    void select(const std::string& reference);
    void expectCell(const Step& step);
    void expectPrinted(const Step& step);
    void expectForm(const Step& step);
    void expectControl(const Step& step);
    void printControl(const dialogs::Control& c, const std::string& indent);
    void printCells(const std::string& reference);

    RunnerFolders folders_;
    std::string addinPath_;
    std::string addinFolder_;
    std::string desktopFolder_;
    std::ostream& out_;
    HeadlessToolkit toolkit_;
    UserActions user_;
    std::string version_ = "16.0";
    std::unique_ptr<loader::AddinLibrary> library_;
    std::unique_ptr<HostPlatform> platform_;
    loader::AddinLibrary::Connection connection_{nullptr, nullptr};
    std::string failure_;
    int failedLine_ = 0;
    bool showRegions_ = false;           // print the window-region calls
    std::vector<PrintJob> printJobs_;    // since the start or the last `expect printed`
};

}  // namespace vorra::headless
