// vorra-run: runs a scenario script against the add-in with the headless toolkit.
//
//   vorra-run [--addin LIBRARY] [--work FOLDER] [--expect OUTPUT [--update-expected]]
//             [--print-dir FOLDER [--calibration FILE]] SCRIPT
//
// The add-in library is, in this order, the --addin option, the VORRA_ADDIN
// environment variable, or lib/libvorra.so beside the program's bin folder. Without
// --work the run uses a fresh temporary folder and removes it afterwards. With
// --expect the output is also compared with the file, and a difference fails the run;
// with --update-expected as well, the file is rewritten with the output instead.
// With --print-dir (or else the environment variable VORRA_PRINT_DIR) every sheet
// printed is also written as a PDF file into that folder; --calibration (or else the
// environment variable VORRA_CALIBRATION) names a calibration file whose print-to-file
// entry ("[#file]", see platform/print/PrintCalibration.h) moves the pages of those
// files as a printer's calibration moves its pages.
//
// Exit status: 0 success; 1 a step failed, the script is malformed, or the output
// differs from the expected; 2 wrong arguments or an unreadable file.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "ScenarioRunner.h"
#include "Script.h"

namespace fs = std::filesystem;
using namespace vorra::headless;

namespace {

constexpr int kUsage = 2;

int usage(const std::string& message) {
    std::cerr << "vorra-run: " << message << "\n"
              << "usage: vorra-run [--addin LIBRARY] [--work FOLDER] [--expect OUTPUT [--update-expected]]\n"
              << "                 [--print-dir FOLDER [--calibration FILE]] SCRIPT\n";
    return kUsage;
}

std::optional<std::string> readFile(const std::string& path, size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<size_t>(in.gcount()));
        if (text.size() > limit) break;
    }
    return text;
}

std::string defaultAddin(const char* argv0) {
    if (const char* env = std::getenv("VORRA_ADDIN"); env && *env) return env;
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) self = fs::absolute(argv0);
    return (self.parent_path().parent_path() / "lib" / "libvorra.so").string();
}

// Compares the output with the expected text line by line; the first difference is
// reported on stderr.
bool sameOutput(const std::string& actual, const std::string& expected, const std::string& expectPath) {
    std::istringstream a(actual), e(expected);
    std::string la, le;
    for (int line = 1;; ++line) {
        bool moreA = static_cast<bool>(std::getline(a, la));
        bool moreE = static_cast<bool>(std::getline(e, le));
        if (moreE && !le.empty() && le.back() == '\r') le.pop_back();
        if (!moreA && !moreE) return true;
        if (moreA != moreE || la != le) {
            std::cerr << expectPath << ":" << line << ": output differs\n"
                      << "  expected: " << (moreE ? le : "(end of output)") << "\n"
                      << "  actual:   " << (moreA ? la : "(end of output)") << "\n";
            return false;
        }
    }
}

// Rewrites the expected output file with the output of this run.
int updateExpected(const std::string& output, const std::string& expectPath) {
    std::ofstream file(expectPath, std::ios::binary | std::ios::trunc);
    file << output;
    file.close();
    if (!file) {
        std::cerr << "vorra-run: cannot write " << expectPath << "\n";
        return kUsage;
    }
    std::cerr << "vorra-run: wrote " << expectPath << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string addin, work, expectPath, printDir, calibrationPath, scriptPath;
    bool update = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char* option) -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            (void)option;
            return std::string(argv[++i]);
        };
        if (arg == "--addin" || arg == "--work" || arg == "--expect" || arg == "--print-dir" ||
            arg == "--calibration") {
            auto v = value(arg.c_str());
            if (!v || v->empty()) return usage(arg + " needs a value");
            (arg == "--addin"         ? addin
             : arg == "--work"        ? work
             : arg == "--expect"      ? expectPath
             : arg == "--print-dir"   ? printDir
                                      : calibrationPath) = *v;
        } else if (arg == "--update-expected") {
            update = true;
        } else if (arg == "--help" || arg == "-h") {
            usage("runs a scenario script against the add-in");
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            return usage("unknown option " + arg);
        } else if (scriptPath.empty()) {
            scriptPath = arg;
        } else {
            return usage("one script only");
        }
    }
    if (scriptPath.empty()) return usage("no script given");
    if (update && expectPath.empty()) return usage("--update-expected needs --expect OUTPUT");
    // Written after the run, which may change the current folder.
    if (update) expectPath = fs::absolute(expectPath).lexically_normal().string();
    if (std::error_code ec; fs::is_directory(scriptPath, ec))
        return usage(scriptPath + " is a folder: give a script file");
    if (addin.empty()) addin = defaultAddin(argv[0]);
    // The host's printer is given the print folder; the environment is read here only.
    if (!printDir.empty()) {
        printDir = fs::absolute(printDir).lexically_normal().string();
    } else if (const char* env = std::getenv("VORRA_PRINT_DIR"); env && *env) {
        printDir = env;
    }

    if (calibrationPath.empty())
        if (const char* env = std::getenv("VORRA_CALIBRATION"); env && *env) calibrationPath = env;
    vorra::print::Calibrations calibrations;
    if (!calibrationPath.empty()) {
        try {
            calibrations = vorra::print::Calibrations::load(calibrationPath);
        } catch (const vorra::print::CalibrationError& e) {
            return usage(e.what());
        }
    }

    auto script = readFile(scriptPath, kMaxScriptBytes);
    if (!script) return usage("cannot read " + scriptPath);
    std::optional<std::string> expected;
    if (update) {
        expected = std::string();  // a new file may be made
    } else if (!expectPath.empty()) {
        expected = readFile(expectPath, 64u << 20);
        if (!expected) return usage("cannot read " + expectPath);
    }

    std::vector<Step> steps;
    try {
        steps = parseScript(*script);
    } catch (const ScriptError& e) {
        std::cerr << scriptPath << ":" << e.line() << ": " << e.what() << "\n";
        std::string output = "MALFORMED line " + std::to_string(e.line()) + ": " + e.what() + "\n";
        std::cout << output;
        if (update) return updateExpected(output, expectPath);
        if (expected) return sameOutput(output, *expected, expectPath) ? 0 : 1;
        return 1;
    }

    bool temporary = work.empty();
    if (temporary) {
        std::string pattern = (fs::temp_directory_path() / "vorra-run.XXXXXX").string();
        if (!mkdtemp(pattern.data())) return usage("cannot create a temporary folder");
        work = pattern;
    }
    work = fs::absolute(work).lexically_normal().string();
    std::error_code ec;
    fs::create_directories(work, ec);
    std::string scriptFolder = fs::absolute(scriptPath).parent_path().lexically_normal().string();

    std::ostringstream captured;
    std::ostream& out = expected ? static_cast<std::ostream&>(captured) : std::cout;
    bool ok;
    std::string failure;
    int failedLine = 0;
    {
        ScenarioRunner runner({work, scriptFolder, printDir, calibrations}, addin, out);
        ok = runner.run(steps);
        failure = runner.failure();
        failedLine = runner.failedLine();
    }
    if (temporary) fs::remove_all(work, ec);
    if (!ok) std::cerr << scriptPath << ":" << failedLine << ": " << failure << "\n";
    if (expected) {
        std::cout << captured.str();
        if (update) return updateExpected(captured.str(), expectPath);
        // With expected output, a run matches when its output does, failures included:
        // that is how tests of refused scripts are written.
        return sameOutput(captured.str(), *expected, expectPath) ? 0 : 1;
    }
    return ok ? 0 : 1;
}
