#include "ScenarioRunner.h"

#include <fnmatch.h>

#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace vorra::headless {

namespace fs = std::filesystem;
using namespace vorra::dialogs;

namespace {

// A step that did not hold; the runner reports it with the step's line.
class StepFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr long long kMaxPrintedCells = 10000;
constexpr int kConnectAtStartup = 1;     // the host loads the add-in as it starts
constexpr int kDisconnectAtShutdown = 0;  // the host is closing

std::string yesNo(bool b) { return b ? "True" : "False"; }
std::string num(double d) { return host::numberToText(d); }

std::string joinRow(const std::vector<std::string>& cells) {
    std::string out;
    for (size_t i = 0; i < cells.size(); ++i) out += (i ? " | " : "") + cells[i];
    return out;
}

std::string comboRow(const ComboBox& box, int row) {
    const auto& r = box.list()[static_cast<size_t>(row)];
    return joinRow(r);
}

std::string listViewRow(const ListView& list, int row) {
    const ListRow& r = list.item(row);
    std::vector<std::string> cells{r.text};
    size_t columns = std::max(list.columns().size(), r.subItems.size() + 1);
    for (size_t k = 1; k < columns; ++k) cells.push_back(k <= r.subItems.size() ? r.subItems[k - 1] : "");
    return joinRow(cells);
}

// Whether a file exists at the path, whose last part may be a shell wildcard pattern
// ("打印记录*.xls") for files named after the time they were written.
bool anyFileMatches(const fs::path& path) {
    const std::string pattern = path.filename().string();
    if (pattern.find_first_of("*?[") == std::string::npos) return fs::exists(path);
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(path.parent_path(), ec))
        if (::fnmatch(pattern.c_str(), entry.path().filename().c_str(), FNM_PERIOD) == 0)
            return true;
    return false;
}

// A cell value with its kind, as output shows it: `empty`, `number 1234.5`,
// `text "1234.5"`, `boolean TRUE`, `error #N/A`.
std::string valueWithKind(const host::Value& v) {
    switch (v.kind()) {
        case host::Value::Kind::Empty: return "empty";
        case host::Value::Kind::Number: return "number " + num(v.asNumber());
        case host::Value::Kind::Text: return "text " + quoteText(v.asText());
        case host::Value::Kind::Boolean: return std::string("boolean ") + (v.asBoolean() ? "TRUE" : "FALSE");
        case host::Value::Kind::Error: return std::string("error ") + host::errorText(v.asError());
    }
    return "?";
}

// The same value: the kind, and numbers as far as output shows them (fifteen digits).
bool sameValue(const host::Value& a, const host::Value& b) {
    if (a.kind() != b.kind()) return false;
    return a.isNumber() ? num(a.asNumber()) == num(b.asNumber()) : a == b;
}

std::string plural(int n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); }

// Folder names in output stand for whole folders: a folder matches in a text only
// where no further character of a file name follows or precedes it, so that /tmp/w
// is not found in /tmp/w2 nor in /x/tmp/w.
bool continuesName(char c) {
    auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || std::isalnum(u) || c == '_' || c == '-' || c == '.' || c == '~' || c == '+';
}
bool atBoundaries(const std::string& text, size_t at, size_t length) {
    bool before = at == 0 || !continuesName(text[at - 1]);
    bool after = at + length >= text.size() || !continuesName(text[at + length]);
    return before && after;
}
// Replaces every occurrence of `from` that stands alone by `to`.
std::string replaceAtBoundaries(std::string text, const std::string& from, const std::string& to) {
    if (from.empty()) return text;
    for (size_t at = text.find(from); at != std::string::npos;) {
        if (atBoundaries(text, at, from.size())) {
            text.replace(at, from.size(), to);
            at = text.find(from, at + to.size());
        } else {
            at = text.find(from, at + 1);
        }
    }
    return text;
}

bool isAction(Step::Kind kind) {
    switch (kind) {
        case Step::Kind::AnswerMessage:
        case Step::Kind::AnswerInput:
        case Step::Kind::AnswerFile:
        case Step::Kind::ExpectForm:
        case Step::Kind::ExpectControl:
        case Step::Kind::ExpectCell:
        case Step::Kind::ExpectFile:
        case Step::Kind::ExpectSheet:
        case Step::Kind::ExpectSelection:
        case Step::Kind::ExpectPrinted:
        case Step::Kind::ShowRegions:
        case Step::Kind::PrintCells:
        case Step::Kind::PrintControl:
        case Step::Kind::PrintForm: return false;
        default: return true;
    }
}

std::string matchEntryWord(MatchEntry m) {
    return m == MatchEntry::Complete ? "Complete" : m == MatchEntry::None ? "None" : "FirstLetter";
}

// The property of a control as text, or nullopt when the kind has no such property.
std::optional<std::string> propertyText(const Control& c, const std::string& p, int row) {
    if (p == "visible") return yesNo(c.visible());
    if (p == "enabled") return yesNo(c.enabled());
    if (p == "top") return num(c.top());
    if (p == "left") return num(c.left());
    if (p == "width") return num(c.width());
    if (p == "height") return num(c.height());
    if (p == "tabindex") return std::to_string(c.tabIndex());
    if (p == "forecolor") return std::to_string(c.foreColor());
    if (p == "tip") return c.tipText();
    if (p == "focus") return yesNo(c.hasFocus());
    using Text = std::optional<std::string>;
    auto noRow = [&] { return "(no row " + std::to_string(row) + ")"; };
    auto caption = [&](const auto& box) -> Text {
        if (p == "caption") return box.caption();
        return std::nullopt;
    };
    auto valueAndCaption = [&](const auto& box) -> Text {
        if (p == "value") return yesNo(box.value());
        return caption(box);
    };
    return visitControl(c, Overloaded{
        [&](const TextBox& box) -> Text {
            if (p == "text" || p == "value") return box.text();
            if (p == "locked") return yesNo(box.locked());
            return std::nullopt;
        },
        [&](const ComboBox& box) -> Text {
            if (p == "text" || p == "value") return box.text();
            if (p == "listindex") return std::to_string(box.listIndex());
            if (p == "listcount") return std::to_string(box.listCount());
            if (p == "matchentry") return matchEntryWord(box.matchEntry());
            if (p == "row") return row >= 1 && row <= box.listCount() ? comboRow(box, row - 1) : noRow();
            return std::nullopt;
        },
        [&](const CheckBox& box) { return valueAndCaption(box); },
        [&](const OptionButton& box) { return valueAndCaption(box); },
        [&](const CommandButton& button) { return caption(button); },
        [&](const Label& label) { return caption(label); },
        [&](const Frame& frame) { return caption(frame); },
        [&](const Image& image) -> Text {
            if (p == "picture") return image.picture();
            return std::nullopt;
        },
        [&](const ListBox& box) -> Text {
            if (p == "text") return box.text();
            if (p == "listindex") return std::to_string(box.listIndex());
            if (p == "listcount") return std::to_string(box.listCount());
            if (p == "row") return row >= 1 && row <= box.listCount() ? box.item(row - 1) : noRow();
            return std::nullopt;
        },
        [&](const ListView& list) -> Text {
            if (p == "count") return std::to_string(list.itemCount());
            if (p == "selected") return std::to_string(list.selectedIndex() + 1);
            if (p == "fontsize") return num(list.fontSize());
            if (p == "view") return std::to_string(static_cast<int>(list.view()));
            if (p == "fullrowselect") return yesNo(list.fullRowSelect());
            if (p == "columns") {
                std::vector<std::string> cols;
                for (const auto& col : list.columns()) cols.push_back(col.text + " " + num(col.width));
                return joinRow(cols);
            }
            if (p == "row") return row >= 1 && row <= list.itemCount() ? listViewRow(list, row - 1) : noRow();
            return std::nullopt;
        },
    });
}

// The number of list rows of a control; 0 for the kinds without rows.
int rowCount(const Control& c) {
    return visitControl(c, Overloaded{
        [](const ComboBox& box) { return box.listCount(); },
        [](const ListBox& box) { return box.listCount(); },
        [](const ListView& list) { return list.itemCount(); },
        [](const Control&) { return 0; },
    });
}

std::string propertiesOf(ControlKind kind) {
    std::string common = "visible, enabled, top, left, width, height, tabindex, forecolor, tip, focus";
    switch (kind) {
        case ControlKind::TextBox: return "text, value, locked, " + common;
        case ControlKind::ComboBox: return "text, value, listindex, listcount, matchentry, row N, " + common;
        case ControlKind::CheckBox:
        case ControlKind::OptionButton: return "value, caption, " + common;
        case ControlKind::Image: return "picture, " + common;
        case ControlKind::ListBox: return "text, listindex, listcount, row N, " + common;
        case ControlKind::ListView: return "count, selected, fontsize, view, fullrowselect, columns, row N, " + common;
        default: return "caption, " + common;
    }
}

}  // namespace

ScenarioRunner::ScenarioRunner(RunnerFolders folders, std::string addinPath, std::ostream& out)
    : folders_(std::move(folders)),
      addinPath_(std::move(addinPath)),
      addinFolder_((fs::path(folders_.work) / "addin").string()),
      desktopFolder_((fs::path(folders_.work) / "Desktop").string()),
      out_(out),
      toolkit_(HeadlessOptions{desktopFolder_, true}) {
    fs::create_directories(addinFolder_);
    fs::create_directories(desktopFolder_);
    toolkit_.onRecord = [this](const Record& r) {
        // How a window is shaped is shown only to scripts that ask for it.
        if (r.kind == Record::Kind::Region && !showRegions_) return;
        print("  " + r.line());
    };
}

ScenarioRunner::~ScenarioRunner() {
    try {
        stop();
    } catch (...) {
    }
}

void ScenarioRunner::print(const std::string& line) { out_ << shorten(line) << '\n'; }

// The folders of this run by the names scripts and output use for them; the add-in
// and desktop folders lie inside the work folder, so they come first.
std::array<std::pair<std::string, std::string>, 4> ScenarioRunner::folderNames() const {
    return {{{"$ADDIN", addinFolder_},
             {"$DESKTOP", desktopFolder_},
             {"$WORK", folders_.work},
             {"$SCRIPT", folders_.script}}};
}

// Absolute folders of this run are printed by their names, so that output is the same
// from run to run.
std::string ScenarioRunner::shorten(std::string text) const {
    for (const auto& [name, folder] : folderNames()) text = replaceAtBoundaries(std::move(text), folder, name);
    return text;
}

// The folder names of a text ("$DESKTOP", ...) anywhere in it, replaced by the folders
// of this run: the inverse of shorten, for message patterns that hold a path.
std::string ScenarioRunner::expandFolders(std::string text) const {
    for (const auto& [name, folder] : folderNames()) text = replaceAtBoundaries(std::move(text), name, folder);
    return text;
}

std::string ScenarioRunner::resolve(const std::string& path) const {
    for (const auto& [name, folder] : folderNames())
        if (path == name || path.rfind(name + "/", 0) == 0) return folder + path.substr(name.size());
    if (fs::path(path).is_absolute()) return path;
    return (fs::path(folders_.work) / path).string();
}

bool ScenarioRunner::run(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        print("> " + step.source);
        try {
            execute(step);
            if (isAction(step.kind)) afterAction();
        } catch (const std::exception& e) {
            failure_ = shorten(e.what());
            failedLine_ = step.line;
            print("FAILED line " + std::to_string(step.line) + ": " + failure_);
            toolkit_.clearAnswers();
            toolkit_.takeFailure();
            try {
                stop();
            } catch (...) {
            }
            return false;
        }
    }
    print("> end");
    try {
        stop();
        afterAction();
    } catch (const std::exception& e) {
        failure_ = shorten(e.what());
        failedLine_ = steps.empty() ? 0 : steps.back().line;
        print("FAILED at the end: " + failure_);
        return false;
    }
    return true;
}

void ScenarioRunner::afterAction() {
    if (auto failure = toolkit_.takeFailure()) {
        toolkit_.clearAnswers();
        throw StepFailure(*failure);
    }
    auto unused = toolkit_.unusedAnswers();
    if (!unused.empty()) {
        toolkit_.clearAnswers();
        std::string list;
        for (const auto& u : unused) list += (list.empty() ? "" : "; ") + u;
        throw StepFailure("answers queued for this step were not used: " + list);
    }
}

HostPlatform& ScenarioRunner::platform() {
    if (!platform_) {
        platform_ = makeHostPlatform(toolkit_, version_, folders_.prints, folders_.calibrations);
        platform_->report = [this](const std::string& line) { print("  " + line); };
        platform_->printed = [this](const PrintJob& job) { printJobs_.push_back(job); };
    }
    return *platform_;
}

host::AddinConnection& ScenarioRunner::connection() {
    if (!connection_) throw StepFailure("the add-in is not started: put a 'start' step first");
    return *connection_;
}

void ScenarioRunner::start(const Step& step) {
    if (connection_) throw StepFailure("the add-in is already started");
    if (platform_ && step.text != version_)
        throw StepFailure("the host version must be set before the first step that uses the host");
    version_ = step.text;
    host::Application& app = platform().application();
    fs::path source(addinPath_);
    fs::path copy = fs::path(addinFolder_) / source.filename();
    // Copied once per run: a loaded add-in stays mapped until the process ends (see
    // platform/loader/AddinLibrary.h), and rewriting its file would corrupt it.
    std::error_code ec;
    if (!fs::exists(copy, ec)) fs::copy_file(source, copy, ec);
    if (ec) throw StepFailure("cannot copy the add-in " + addinPath_ + " into the add-in folder: " + ec.message());
    if (step.flag) {
        std::ofstream marker(fs::path(addinFolder_) / "setting.ini", std::ios::binary);
        marker << "[launch]\r\n";
        if (!marker) throw StepFailure("cannot write the launch marker");
    }
    library_ = std::make_unique<loader::AddinLibrary>(copy.string());
    connection_ = library_->createConnection();
    connection_->OnConnection(&app, kConnectAtStartup);
    connection_->OnAddInsUpdate();
    // Hosts from version 12 on ask for the ribbon right after connecting.
    if (std::strtod(version_.c_str(), nullptr) >= 12) {
        std::string ribbon = connection_->GetCustomUI("Vorra.Workbook");
        print(std::string("  ribbon ") + (ribbon.empty() ? "none" : "received"));
    }
    connection_->OnStartupComplete();
}

// The host closes: the add-in is told, every form unloads, the add-in disconnects,
// and the host with its workbooks goes before the library is released. The library
// itself stays loaded (see platform/loader/AddinLibrary.h), its form instances empty.
void ScenarioRunner::stop() {
    if (connection_) {
        auto connection = std::move(connection_);
        connection->OnBeginShutdown();
        toolkit_.unloadAll();
        connection->OnDisconnection(kDisconnectAtShutdown);
        connection.reset();
    }
    toolkit_.unloadAll();
    platform_.reset();
    library_.reset();
}

std::shared_ptr<Form> ScenarioRunner::form(const std::string& name) {
    if (auto f = toolkit_.findForm(name)) return f;
    std::string live;
    for (const auto& f : toolkit_.liveForms()) live += (live.empty() ? "" : ", ") + f->name();
    throw StepFailure("no form " + name + " is loaded (loaded: " + (live.empty() ? "none" : live) + ")");
}

Control& ScenarioRunner::control(const Step& step) {
    auto f = form(step.form);
    Control* c = f->control(step.control);
    if (!c) throw StepFailure("no control " + step.control + " on form " + f->name());
    return *c;
}

// A reference of a script ("A1", "Sheet1!B2:C3", "'甲 表'!A1" or a defined name) as the
// host resolves it on the active sheet; a reference the host refuses fails the step.
host::Range ScenarioRunner::range(const std::string& reference) {
    try {
        return platform().application().range(reference);
    } catch (const host::HostError& e) {
        throw StepFailure("not a cell reference: '" + reference + "' (" + e.what() + ")");
    }
}

void ScenarioRunner::execute(const Step& step) {
    using K = Step::Kind;
    switch (step.kind) {
        case K::Start: start(step); return;
        case K::Stop: stop(); return;
        case K::Open: {
            auto book = platform().application().openWorkbook(resolve(step.text));
            print("  workbook " + book->name());
            return;
        }
        case K::NewWorkbook: print("  workbook " + platform().application().addWorkbook()->name()); return;
        case K::NewSample: print("  workbook " + platform().newSampleWorkbook()->name()); return;
        case K::Run: {
            auto& c = connection();
            if (!c.invoke(step.text)) {
                std::string names;
                for (const auto& n : c.methodNames()) names += (names.empty() ? "" : ", ") + n;
                throw StepFailure("the add-in has no command '" + step.text + "' (commands: " + names + ")");
            }
            return;
        }
        case K::Type: user_.type(*form(step.form), step.control, step.text); return;
        case K::Press: user_.press(*form(step.form), step.control, step.number); return;
        case K::Clear: user_.clear(*form(step.form), step.control); return;
        case K::Click: user_.click(*form(step.form), step.control); return;
        case K::Pick:
            if (step.number > 0) user_.pickIndex(*form(step.form), step.control, step.number - 1);
            else user_.pick(*form(step.form), step.control, step.text);
            return;
        case K::Select: select(step.text); return;
        case K::Close: user_.close(*form(step.form)); return;
        case K::MouseDown: user_.mouseDown(*form(step.form)); return;
        case K::Drop: {
            std::vector<std::string> files;
            for (const auto& p : step.texts) files.push_back(resolve(p));
            user_.drop(*form(step.form), step.control, files);
            return;
        }
        case K::AnswerMessage: {
            MessageAnswer answer = step.message;
            if (answer.textIsPattern && answer.text) answer.text = expandFolders(*answer.text);
            toolkit_.queueMessage(std::move(answer));
            return;
        }
        case K::AnswerInput: toolkit_.queueInput(step.input); return;
        case K::AnswerFile: {
            FileAnswer answer = step.file;
            for (const auto& p : step.texts) answer.paths.push_back(resolve(p));
            toolkit_.queueFile(std::move(answer));
            return;
        }
        case K::ExpectForm: expectForm(step); return;
        case K::ExpectControl: expectControl(step); return;
        case K::ExpectCell: expectCell(step); return;
        case K::ExpectFile: {
            bool exists = anyFileMatches(resolve(step.text));
            if (exists != (step.expected == "exists"))
                throw StepFailure("file " + step.text + (exists ? " exists" : " does not exist"));
            return;
        }
        case K::ExpectSheet: {
            auto book = platform().application().activeWorkbook();
            if (!book) throw StepFailure("no workbook is open");
            bool isProtected = book->sheet(step.text)->isProtected();
            if (isProtected != step.flag)
                throw StepFailure("sheet " + step.text + " is " + (isProtected ? "protected" : "unprotected"));
            return;
        }
        case K::ExpectSelection: {
            host::Range expected = range(step.text);
            host::Range actual = platform().application().selection();
            auto where = [](const host::Range& r) {
                return r.worksheet().name() + "!" + host::relativeAddress(r.area());
            };
            if (&actual.worksheet() != &expected.worksheet() || !(actual.area() == expected.area()))
                throw StepFailure("the selection is " + where(actual) + ", expected " + where(expected));
            return;
        }
        case K::ExpectPrinted: expectPrinted(step); return;
        case K::ShowRegions: showRegions_ = true; return;
        case K::SetCell: range(step.text).setValue(step.value); return;
        case K::PrintCells: printCells(step.text); return;
        case K::PrintControl: printControl(control(step), "  "); return;
        case K::PrintForm: {
            auto f = form(step.form);
            print("  form " + f->name() + " caption " + quoteText(f->caption()) + (f->visible() ? " shown" : " hidden") +
                  " height " + num(f->height()));
            for (const Control* c : f->controls()) printControl(*c, "    ");
            return;
        }
        case K::Save: {
            auto book = platform().application().activeWorkbook();
            if (!book) throw StepFailure("no workbook is open");
            book->save();
            print("  saved " + book->fullName());
            return;
        }
        case K::SaveAs: {
            auto book = platform().application().activeWorkbook();
            if (!book) throw StepFailure("no workbook is open");
            book->saveAs(resolve(step.text));
            print("  saved " + book->fullName());
            return;
        }
    }
}

// A click on a cell: its sheet comes to the front first, as a click on the sheet's tab
// brings it, then the host selects the range and raises SheetSelectionChange when the
// selection moved.
void ScenarioRunner::select(const std::string& reference) {
    host::Range r = range(reference);
    r.worksheet().parent().activate();
    r.worksheet().activate();
    r.select();
}

// The output shows the cell's value with its kind, and what else the step compares.
void ScenarioRunner::expectCell(const Step& step) {
    host::Range r = range(step.text);
    host::Value actual = r.scalar();
    std::string shown = "  " + valueWithKind(actual);
    std::string failure;
    switch (step.check) {
        case CellCheck::AsText:
            if (actual.toText() != step.expected)
                failure = quoteText(actual.toText()) + ", expected " + quoteText(step.expected);
            break;
        case CellCheck::Value:
            if (!sameValue(actual, step.value))
                failure = valueWithKind(actual) + ", expected " + valueWithKind(step.value);
            break;
        case CellCheck::Displayed: {
            std::string text = r.text();
            shown += " displayed " + quoteText(text);
            if (text != step.expected)
                failure = "displayed as " + quoteText(text) + ", expected " + quoteText(step.expected);
            break;
        }
        case CellCheck::Formula: {
            std::string formula = r.formula();
            shown += " formula " + quoteText(formula);
            if (formula != step.expected)
                failure = "the formula " + quoteText(formula) + ", expected " + quoteText(step.expected);
            break;
        }
    }
    print(shown);
    if (!failure.empty()) throw StepFailure("cell " + step.text + " is " + failure);
}

// The jobs printed since the start of the run or since the last `expect printed`:
// their number and, when asked, their pages together; the step starts the count anew.
void ScenarioRunner::expectPrinted(const Step& step) {
    std::vector<PrintJob> jobs = std::move(printJobs_);
    printJobs_.clear();
    int pages = 0;
    std::string list;
    for (const PrintJob& job : jobs) {
        pages += job.pages;
        list += (list.empty() ? "" : ", ") + job.sheet + " " +
                (job.layoutError.empty() ? plural(job.pages, "page") : "not laid out: " + job.layoutError);
    }
    int count = static_cast<int>(jobs.size());
    bool sameCount = count == step.number;
    bool samePages = step.pages < 0 || pages == step.pages;
    if (sameCount && samePages) return;
    std::string expected = plural(step.number, "job");
    if (step.pages >= 0) expected += " of " + plural(step.pages, "page");
    throw StepFailure("printed " + plural(count, "job") + " of " + plural(pages, "page") +
                      (list.empty() ? "" : " (" + list + ")") + ", expected " + expected);
}

void ScenarioRunner::expectForm(const Step& step) {
    auto f = toolkit_.findForm(step.form);
    const std::string& what = step.text;
    if (what == "unloaded") {
        if (f) throw StepFailure("form " + step.form + " is loaded");
        return;
    }
    if (!f) throw StepFailure("form " + step.form + " is not loaded");
    if (what == "loaded") return;
    if (what == "shown" || what == "hidden") {
        if (f->visible() != (what == "shown"))
            throw StepFailure("form " + step.form + " is " + (f->visible() ? "shown" : "hidden"));
        return;
    }
    std::string actual;
    if (what == "caption") actual = f->caption();
    else if (what == "height") actual = num(f->height());
    else if (what == "width") actual = num(f->width());
    else if (what == "topmost") actual = yesNo(toolkit_.isTopmost(f->name()));
    else throw StepFailure("forms have no property '" + what + "' (caption, height, width, topmost)");
    if (actual != step.expected)
        throw StepFailure("form " + step.form + " " + what + " is " + quoteText(actual) + ", expected " +
                          quoteText(step.expected));
}

void ScenarioRunner::expectControl(const Step& step) {
    Control& c = control(step);
    auto actual = propertyText(c, step.text, step.number);
    if (!actual)
        throw StepFailure(std::string(kindName(c.kind())) + " " + c.name() + " has no property '" + step.text +
                          "' (" + propertiesOf(c.kind()) + ")");
    if (*actual != step.expected) {
        std::string what = step.text == "row" ? "row " + std::to_string(step.number) : step.text;
        throw StepFailure(step.form + "." + step.control + " " + what + " is " + quoteText(*actual) + ", expected " +
                          quoteText(step.expected));
    }
}

void ScenarioRunner::printControl(const Control& c, const std::string& indent) {
    std::string line = indent + kindName(c.kind()) + " " + c.name();
    auto add = [&](const char* p) {
        if (auto v = propertyText(c, p, 0)) line += std::string(" ") + p + " " + quoteText(*v);
    };
    for (const char* p : {"caption", "text", "value", "listindex", "count", "selected"}) add(p);
    if (!c.visible()) line += " hidden";
    if (!c.enabled()) line += " disabled";
    print(line);
    for (int r = 1, rows = rowCount(c); r <= rows; ++r)
        print(indent + "  " + std::to_string(r) + ": " + quoteText(*propertyText(c, "row", r)));
}

void ScenarioRunner::printCells(const std::string& reference) {
    host::Range r = range(reference);
    if (r.area().count() > kMaxPrintedCells)
        throw StepFailure("range " + reference + " has more than 10000 cells to print");
    print("  " + r.worksheet().name() + "!" + host::relativeAddress(r.area()));
    host::Variant values = r.value();
    for (int row = 1; row <= r.rowCount(); ++row) {
        std::string line = "  " + std::to_string(r.row() + row - 1) + ":";
        for (int col = 1; col <= r.columnCount(); ++col) {
            const host::Value& v = values.isArray() ? values.array().at(row, col) : values.scalar();
            line += (col > 1 ? ", " : " ") + valueWithKind(v);
        }
        print(line);
    }
}

}  // namespace vorra::headless
