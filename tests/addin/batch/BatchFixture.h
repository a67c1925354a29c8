#pragma once
// Set-up shared by the batch tests: the sample template with a short list on 批量打印,
// the batch dialog, source workbooks written by other programs (python3 with openpyxl
// and xlwt, in a scratch folder per test), and a snapshot of the workbook for "nothing
// else changed".

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "addin/batch/PiliangDY_frm.h"
#include "addin/frame/Commands.h"
#include "tests/addin/support/AddinTestHost.h"

namespace vorra::testing {

// Record n of a generated list: columns B to N of 批量打印.
inline std::vector<std::string> listBill(int n, const std::string& sheet = "转账支票") {
    std::string k = std::to_string(n);
    char payee[32], payer[32];
    std::snprintf(payee, sizeof payee, "6222021102003%06d", n);
    std::snprintf(payer, sizeof payer, "0062210012%09d", n);
    return {"收款单位" + k, payee, "开户行" + k, "江苏", "苏州", "货款" + k, std::to_string(100 * n) + ".5",
            sheet, "付款单位" + k, payer, "付款行" + k, "浙江", "杭州"};
}

// Every sheet's values, formulas aside, with its protection: what "nothing changed"
// compares.
struct SheetState {
    host::Area used;
    host::Variant values;
    bool isProtected = false;
    friend bool operator==(const SheetState&, const SheetState&) = default;
};
using WorkbookState = std::map<std::string, SheetState>;

inline WorkbookState stateOf(host::Workbook& book) {
    WorkbookState state;
    for (const auto& sheet : book.worksheets()) {
        host::Area used = sheet->usedArea();
        state[sheet->name()] = {used, sheet->read(used), sheet->isProtected()};
    }
    return state;
}

class BatchTest : public ::testing::Test {
protected:
    AddinTestHost host;

    std::shared_ptr<host::Worksheet> batch() { return host.app.sheets("批量打印"); }

    // Writes records 1 to count (listBill) into rows 8 on; sheets[k - 1] names the bill
    // sheet of record k when given.
    void putList(int count, const std::vector<std::string>& sheets = {}) {
        host::Array2D block(count, 13);
        for (int k = 1; k <= count; ++k) {
            auto bill = listBill(k, k <= int(sheets.size()) ? sheets[size_t(k - 1)] : "转账支票");
            for (int c = 1; c <= 13; ++c) block.at(k, c) = host::Value::text(bill[size_t(c - 1)]);
        }
        host.put("批量打印", "B8:N" + std::to_string(7 + count), block);
    }
    // The texts of A to N of a row of 批量打印.
    std::vector<std::string> row(int r) {
        std::vector<std::string> texts;
        for (char c = 'A'; c <= 'N'; ++c) texts.push_back(host.text("批量打印", c + std::to_string(r)));
        return texts;
    }
    // B to N of a row.
    std::vector<std::string> record(int r) {
        auto texts = row(r);
        texts.erase(texts.begin());
        return texts;
    }
    std::string d2() { return host.text("批量打印", "D2"); }
    // Whether B8:N2007 holds nothing but empty texts.
    bool listEmpty() {
        host::Variant values = batch()->range("B8:N2007").value();
        const auto& list = values.array();
        for (int r = 1; r <= list.rows(); ++r)
            for (int c = 1; c <= list.columns(); ++c)
                if (!list.at(r, c).isBlankText()) return false;
        return true;
    }

    std::shared_ptr<PiliangDY_frm> openDialog() {
        runCommand("PiliangDY");
        auto form = dialogs::FormInstance<PiliangDY_frm>::existing();
        EXPECT_TRUE(form && form->visible());
        return form;
    }
    void click(const std::string& button) {
        auto form = dialogs::FormInstance<PiliangDY_frm>::existing();
        ASSERT_TRUE(form) << "the batch dialog is not loaded";
        host.user.click(*form, button);
    }
    bool dialogLoaded() { return dialogs::FormInstance<PiliangDY_frm>::exists(); }

    void answerFile(const std::vector<std::string>& paths) {
        headless::FileAnswer answer;
        answer.paths = paths;
        answer.title = "选定文件";
        host.toolkit.queueFile(answer);
    }
    void answerNumber(const std::string& number) {
        headless::InputAnswer answer;
        answer.text = number;
        host.toolkit.queueInput(answer);
    }

    void TearDown() override {
        EXPECT_EQ(host.toolkit.takeFailure(), std::nullopt);
        EXPECT_TRUE(host.toolkit.unusedAnswers().empty());
    }
};

// Source workbooks written by other programs into a folder of the test's own.
class SourceFiles {
public:
    SourceFiles() {
        auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  ("vorra-batch-" + std::to_string(::getpid()) + "-" + info->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    ~SourceFiles() { std::filesystem::remove_all(folder_); }
    SourceFiles(const SourceFiles&) = delete;
    SourceFiles& operator=(const SourceFiles&) = delete;

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    // Writes a source (fixtures/batch_sources.py: bills, rows, no-batch-sheet,
    // no-payee-column) under that name; the format follows the name.
    std::string make(const std::string& kind, const std::string& name, int count = 0) {
        std::string target = path(name);
        std::string command = std::string(VORRA_PYTHON) + " '" + script().string() + "' " + kind + " '" + target + "'" +
                              (count > 0 ? " " + std::to_string(count) : "");
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return target;
    }
    // Writes bytes of our own (not a workbook, a cut-off file).
    std::string write(const std::string& name, const std::string& bytes) {
        std::string target = path(name);
        if (FILE* f = std::fopen(target.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return target;
    }
    std::string read(const std::string& name) const {
        std::string bytes;
        if (FILE* f = std::fopen(path(name).c_str(), "rb")) {
            char buffer[4096];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
            std::fclose(f);
        }
        return bytes;
    }

    static std::filesystem::path script() {
        return std::filesystem::path(VORRA_SOURCE_DIR) / "tests/addin/batch/fixtures/batch_sources.py";
    }

private:
    std::filesystem::path folder_;
};

}  // namespace vorra::testing
