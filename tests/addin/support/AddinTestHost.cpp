#include "AddinTestHost.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "addin/books/PinyinInitials.h"
#include "addin/frame/TemplateLayout.h"
#include "tools/sampletemplate/SampleTemplate.h"

namespace vorra::testing {

namespace fs = std::filesystem;

std::vector<std::string> TestToolkit::prompts() const {
    std::vector<std::string> texts;
    for (const auto& m : messageRequests) texts.push_back(m.prompt);
    return texts;
}

std::vector<std::string> WorkbookEvents::opened() const {
    std::vector<std::string> paths;
    for (const auto& line : lines)
        if (line.starts_with("open ")) paths.push_back(line.substr(5));
    return paths;
}

AddinTestHost::AddinTestHost(const std::string& version, bool withTemplate, bool requireAnswers)
    : toolkit(requireAnswers), app(version, &services) {
    book = app.addWorkbook();
    if (withTemplate) tools::buildSampleTemplate(*book);
    app.subscribe(&events);
    XlApp = &app;
}

AddinTestHost::~AddinTestHost() {
    toolkit.unloadAll();
    app.unsubscribe(&events);
    XlApp = nullptr;
    forgetHzjpLookup();
    if (!desktop_.empty()) {
        std::error_code ec;
        fs::remove_all(desktop_, ec);
    }
}

host::Value AddinTestHost::cell(const std::string& sheet, const std::string& address) {
    return app.sheets(sheet)->range(address).scalar();
}

std::string AddinTestHost::text(const std::string& sheet, const std::string& address) {
    return cell(sheet, address).toText();
}

void AddinTestHost::put(const std::string& sheet, const std::string& address,
                        const host::Variant& value) {
    auto s = app.sheets(sheet);
    bool wasProtected = s->isProtected();
    if (wasProtected) s->unprotect(layout::kSheetPassword);
    s->range(address).setValue(value);
    if (wasProtected) s->protect(layout::kSheetPassword);
}

void AddinTestHost::putRow(const std::string& sheet, const std::string& address,
                           const std::vector<std::string>& texts) {
    host::Array2D row(1, int(texts.size()));
    for (size_t c = 0; c < texts.size(); ++c) row.at(1, int(c) + 1) = host::Value::text(texts[c]);
    host::Area first = host::parseArea(address);
    host::Area area{first.top, first.left, first.top, first.left + int(texts.size()) - 1};
    put(sheet, host::relativeAddress(area), row);
}

std::vector<std::string> AddinTestHost::messages() const {
    return toolkit.lines(headless::Record::Kind::Message);
}

std::vector<std::string> AddinTestHost::formsOf(headless::Record::Kind kind) const {
    std::vector<std::string> forms;
    for (const auto& r : toolkit.records())
        if (r.kind == kind) forms.push_back(r.form);
    return forms;
}

std::vector<std::string> AddinTestHost::detailsOf(headless::Record::Kind kind) const {
    std::vector<std::string> details;
    for (const auto& r : toolkit.records())
        if (r.kind == kind) details.push_back(r.detail);
    return details;
}

void AddinTestHost::answerInputs(const std::vector<std::string>& texts) {
    for (const auto& t : texts) {
        headless::InputAnswer answer;
        if (!t.empty()) answer.text = t;
        toolkit.queueInput(answer);
    }
}

void AddinTestHost::answerFiles(const std::vector<std::string>& paths) {
    headless::FileAnswer answer;
    answer.paths = paths;
    toolkit.queueFile(answer);
}

void AddinTestHost::nameSheets(const std::vector<std::string>& names) {
    auto target = app.activeWorkbook();
    auto sheets = target->worksheets();
    while (sheets.size() < names.size()) {
        target->addSheet(sheets.back().get());
        sheets = target->worksheets();
    }
    while (sheets.size() > names.size()) {
        sheets.back()->deleteSheet();
        sheets.pop_back();
    }
    // Temporary names first, so that no new name meets an old one.
    for (size_t i = 0; i < sheets.size(); ++i) sheets[i]->setName("~" + std::to_string(i));
    for (size_t i = 0; i < sheets.size(); ++i) sheets[i]->setName(names[i]);
    sheets.front()->activate();
}

std::string AddinTestHost::writeWorkbook(const fs::path& path, const std::vector<std::string>& sheets) {
    auto active = app.activeWorkbook();
    auto file = app.addWorkbook();
    auto first = file->worksheets().front();
    std::shared_ptr<host::Worksheet> last;
    for (const auto& name : sheets) {
        auto sheet = last ? file->addSheet(last.get()) : first;
        sheet->setName(name);
        sheet->range("A1").setValue(host::Value::text(name));
        last = sheet;
    }
    file->saveAs(path.string());
    file->close(false);
    if (active) active->activate();
    return path.string();
}

const fs::path& AddinTestHost::scratchDesktop() {
    if (desktop_.empty()) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        desktop_ = fs::temp_directory_path() / ("vorra-desktop-" + std::to_string(::getpid()) + "-" +
                                                (test ? test->name() : "bench"));
        fs::remove_all(desktop_);
        fs::create_directories(desktop_);
        toolkit.desktop = desktop_.string();
    }
    return desktop_;
}

std::vector<std::string> AddinTestHost::sheetNames() {
    std::vector<std::string> names;
    for (const auto& s : app.activeWorkbook()->worksheets()) names.push_back(s->name());
    return names;
}

}  // namespace vorra::testing
