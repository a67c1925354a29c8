#pragma once
// A fresh engine application with one workbook, and fakes of the platform services.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/engine/host/EngineHost.h"
#include "platform/engine/print/Printer.h"

namespace vorra::engine::testing {

class FakePrinter : public Printer {
public:
    void printSheet(const WorkbookModel& workbook, int sheetIndex, int copies, bool collate) override {
        jobs.push_back(workbook.sheets[size_t(sheetIndex)]->name + " x" + std::to_string(copies) +
                       (collate ? " collated" : ""));
    }
    std::string description() const override { return "fake"; }
    std::vector<std::string> jobs;
};

class FakeServices : public HostServices {
public:
    std::vector<std::string> openFileDialog(const std::string& filter, int, const std::string& title,
                                            bool) override {
        dialogCalls.push_back(title + "|" + filter);
        return chosenFiles;
    }
    bool builtinDialog(int dialogId, host::Worksheet& sheet, const std::string& keys) override {
        dialogCalls.push_back(std::to_string(dialogId) + "|" + sheet.name() + "|" + keys);
        return true;
    }
    void quitRequested() override { ++quits; }
    Printer* printer() override { return withPrinter ? &fakePrinter : nullptr; }

    std::vector<std::string> chosenFiles;
    std::vector<std::string> dialogCalls;
    int quits = 0;
    bool withPrinter = true;
    FakePrinter fakePrinter;
};

class EngineTest : public ::testing::Test {
protected:
    EngineTest() : app("16.0", &services) {
        book = app.addWorkbook();
        sheet = app.activeSheet();
    }

    host::Value cell(const std::string& ref) { return sheet->range(ref).scalar(); }
    void put(const std::string& ref, const host::Variant& v) { sheet->range(ref).setValue(v); }
    static host::Value text(const char* s) { return host::Value::text(s); }
    static host::Value number(double d) { return host::Value::number(d); }

    FakeServices services;
    EngineApplication app;
    std::shared_ptr<host::Workbook> book;
    std::shared_ptr<host::Worksheet> sheet;
};

}  // namespace vorra::engine::testing
