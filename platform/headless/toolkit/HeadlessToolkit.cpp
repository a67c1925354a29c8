#include "HeadlessToolkit.h"

#include <fnmatch.h>

#include <algorithm>
#include <ctime>

namespace vorra::headless {

using dialogs::Form;
using dialogs::MsgBoxButtons;
using dialogs::MsgBoxIcon;
using dialogs::MsgBoxResult;

const char* kindWord(Record::Kind kind) {
    switch (kind) {
        case Record::Kind::Load: return "load";
        case Record::Kind::Show: return "show";
        case Record::Kind::Hide: return "hide";
        case Record::Kind::Unload: return "unload";
        case Record::Kind::Message: return "message";
        case Record::Kind::Input: return "input";
        case Record::Kind::FileDialog: return "file-dialog";
        case Record::Kind::BuiltinDialog: return "builtin-dialog";
        case Record::Kind::Topmost: return "topmost";
        case Record::Kind::Region: return "region";
        case Record::Kind::Drag: return "drag";
        case Record::Kind::ShellOpen: return "shell-open";
        case Record::Kind::StartProgram: return "start-program";
        case Record::Kind::SetClock: return "set-clock";
    }
    return "?";
}

const char* iconWord(MsgBoxIcon icon) {
    switch (icon) {
        case MsgBoxIcon::None: return "None";
        case MsgBoxIcon::Critical: return "Critical";
        case MsgBoxIcon::Question: return "Question";
        case MsgBoxIcon::Exclamation: return "Exclamation";
        case MsgBoxIcon::Information: return "Information";
    }
    return "?";
}

const char* resultWord(MsgBoxResult result) {
    switch (result) {
        case MsgBoxResult::OK: return "OK";
        case MsgBoxResult::Cancel: return "Cancel";
        case MsgBoxResult::Abort: return "Abort";
        case MsgBoxResult::Retry: return "Retry";
        case MsgBoxResult::Ignore: return "Ignore";
        case MsgBoxResult::Yes: return "Yes";
        case MsgBoxResult::No: return "No";
    }
    return "?";
}

std::string quoteText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

std::string Record::line() const {
    std::string text = kindWord(kind);
    if (!form.empty()) text += " " + form;
    if (!detail.empty()) text += " " + detail;
    return text;
}

namespace {

std::string titleText(const std::optional<std::string>& title) {
    return title ? quoteText(*title) : std::string("default");
}

}  // namespace

HeadlessToolkit::~HeadlessToolkit() {
    // Forms that outlive the toolkit must not report to it.
    onRecord = nullptr;
}

void HeadlessToolkit::record(Record::Kind kind, std::string form, std::string detail) {
    records_.push_back({kind, std::move(form), std::move(detail)});
    if (onRecord) onRecord(records_.back());
}

void HeadlessToolkit::fail(std::string message) { failures_.push_back(std::move(message)); }

std::optional<std::string> HeadlessToolkit::takeFailure() {
    if (failures_.empty()) return std::nullopt;
    std::string first = failures_.front();
    failures_.clear();
    return first;
}

std::vector<std::string> HeadlessToolkit::unusedAnswers() const {
    std::vector<std::string> unused;
    for (const auto& m : messages_)
        unused.push_back("message " + std::string(m.textIsPattern ? "like " : "") +
                         (m.text ? quoteText(*m.text) : std::string("(any)")) + " -> " +
                         resultWord(m.answer));
    for (const auto& i : inputs_) unused.push_back("input -> " + (i.text ? quoteText(*i.text) : "cancel"));
    for (const auto& f : files_)
        unused.push_back("file-dialog -> " + (f.paths.empty() ? std::string("cancel") : quoteText(f.paths.front())));
    for (const auto& m : modals_) unused.push_back("modal " + m.form);
    return unused;
}

void HeadlessToolkit::clearAnswers() {
    messages_.clear();
    inputs_.clear();
    files_.clear();
    modals_.clear();
}

std::vector<std::string> HeadlessToolkit::lines(Record::Kind kind) const {
    std::vector<std::string> out;
    for (const auto& r : records_)
        if (r.kind == kind) out.push_back(r.line());
    return out;
}

void HeadlessToolkit::unloadAll() {
    for (auto& form : liveForms()) {
        if (form->unload(dialogs::CloseMode::AppWindows)) continue;
        form->onQueryClose = nullptr;  // the host is closing: no form may refuse
        form->unload(dialogs::CloseMode::AppWindows);
    }
}

// ---- Dialogs ---------------------------------------------------------------------------

MsgBoxResult HeadlessToolkit::messageBox(const dialogs::MessageBoxRequest& request) {
    std::string shown = quoteText(request.prompt) + " icon " + iconWord(request.icon) + " title " +
                        titleText(request.title);
    if (messages_.empty()) {
        // Nobody answers: the box gives what closing it gives.
        MsgBoxResult answer = dialogs::closingAnswer(request.buttons);
        record(Record::Kind::Message, {}, shown + " -> " + resultWord(answer) + " (unanswered)");
        if (options_.requireAnswers)
            fail("message box shown with no answer queued: " + quoteText(request.prompt) + " (title " +
                 titleText(request.title) + ")");
        return answer;
    }
    MessageAnswer expected = std::move(messages_.front());
    messages_.pop_front();
    const bool textMatches =
        !expected.text ||
        (expected.textIsPattern ? ::fnmatch(expected.text->c_str(), request.prompt.c_str(), 0) == 0
                                : *expected.text == request.prompt);
    if (expected.textIsPattern && textMatches)
        shown =
            "like " + quoteText(*expected.text) + shown.substr(quoteText(request.prompt).size());
    record(Record::Kind::Message, {}, shown + " -> " + resultWord(expected.answer));
    if (!textMatches)
        fail(std::string("message box: expected ") + (expected.textIsPattern ? "like " : "") +
             quoteText(*expected.text) + ", shown " + quoteText(request.prompt));
    else if (expected.icon && *expected.icon != request.icon)
        fail("message box " + quoteText(request.prompt) + ": expected icon " + iconWord(*expected.icon) +
             ", shown " + iconWord(request.icon));
    else if (expected.title && *expected.title != request.title)
        fail("message box " + quoteText(request.prompt) + ": expected title " + titleText(*expected.title) +
             ", shown " + titleText(request.title));
    return expected.answer;
}

std::string HeadlessToolkit::inputBox(const dialogs::InputBoxRequest& request) {
    std::string shown = quoteText(request.prompt) + " title " + titleText(request.title) + " default " +
                        quoteText(request.defaultText);
    if (inputs_.empty()) {
        record(Record::Kind::Input, {}, shown + " -> cancel (unanswered)");
        if (options_.requireAnswers)
            fail("input box shown with no answer queued: " + quoteText(request.prompt));
        return {};
    }
    InputAnswer answer = std::move(inputs_.front());
    inputs_.pop_front();
    record(Record::Kind::Input, {}, shown + " -> " + (answer.text ? quoteText(*answer.text) : "cancel"));
    if (answer.prompt && *answer.prompt != request.prompt)
        fail("input box: expected " + quoteText(*answer.prompt) + ", shown " + quoteText(request.prompt));
    return answer.text.value_or(std::string());
}

std::vector<std::string> HeadlessToolkit::openFileDialog(const dialogs::OpenFileRequest& request) {
    std::string shown = quoteText(request.title) + " filter " + quoteText(request.filter) +
                        (request.multiSelect ? " multi" : "");
    if (files_.empty()) {
        record(Record::Kind::FileDialog, {}, shown + " -> cancel (unanswered)");
        if (options_.requireAnswers)
            fail("open-file dialog shown with no answer queued: " + quoteText(request.title));
        return {};
    }
    FileAnswer answer = std::move(files_.front());
    files_.pop_front();
    std::string chosen;
    for (const auto& p : answer.paths) chosen += (chosen.empty() ? "" : " ") + quoteText(p);
    record(Record::Kind::FileDialog, {}, shown + " -> " + (chosen.empty() ? "cancel" : chosen));
    if (answer.title && *answer.title != request.title)
        fail("open-file dialog: expected " + quoteText(*answer.title) + ", shown " + quoteText(request.title));
    if (!request.multiSelect && answer.paths.size() > 1) {
        fail("open-file dialog " + quoteText(request.title) + " allows one file, " +
             std::to_string(answer.paths.size()) + " queued");
        answer.paths.resize(1);
    }
    return answer.paths;
}

bool HeadlessToolkit::builtinDialog(int dialogId, const std::string& queuedKeys) {
    record(Record::Kind::BuiltinDialog, {},
           std::to_string(dialogId) + (queuedKeys.empty() ? "" : " keys " + quoteText(queuedKeys)) + " -> OK");
    return true;
}

// ---- Window services -------------------------------------------------------------------

void HeadlessToolkit::setTopmost(Form& form) {
    if (!isTopmost(form.name())) topmost_.push_back(form.name());
    record(Record::Kind::Topmost, form.name(), {});
}

dialogs::PixelSize HeadlessToolkit::clientSizePixels(const Form& form) const {
    // Window forms measure in twips (15 to a pixel at 96 dots per inch), user forms
    // in points (3 to 4 pixels).
    double perPixel = form.kind() == dialogs::FormKind::WindowForm ? 15.0 : 0.75;
    return {static_cast<int>(form.width() / perPixel + 0.5), static_cast<int>(form.height() / perPixel + 0.5)};
}

void HeadlessToolkit::setWindowRegion(Form& form, const dialogs::RoundRegion& r) {
    std::erase_if(regions_, [&](const auto& entry) { return entry.first == form.name(); });
    regions_.emplace_back(form.name(), r);
    record(Record::Kind::Region, form.name(),
           std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom) + "," + std::to_string(r.ellipseWidth) + "," +
               std::to_string(r.ellipseHeight));
}

void HeadlessToolkit::dragByBody(Form& form) { record(Record::Kind::Drag, form.name(), {}); }

bool HeadlessToolkit::shellOpen(const std::string& target, const std::string& verb) {
    record(Record::Kind::ShellOpen, {}, quoteText(target) + (verb.empty() ? "" : " verb " + quoteText(verb)));
    return true;
}

bool HeadlessToolkit::startProgram(const std::string& commandLine) {
    record(Record::Kind::StartProgram, {}, quoteText(commandLine));
    return true;
}

// The clock is never touched: the request is recorded as the moment in UTC, with the
// answer the options give.
dialogs::ClockSetting HeadlessToolkit::setSystemClock(std::int64_t secondsSinceEpoch) {
    std::time_t seconds = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm t{};
    char text[40] = "?";
    if (gmtime_r(&seconds, &t)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &t);
    const char* answer = options_.clockAnswer == dialogs::ClockSetting::Done           ? "done"
                         : options_.clockAnswer == dialogs::ClockSetting::NotPermitted ? "not permitted"
                                                                                        : "failed";
    record(Record::Kind::SetClock, {}, std::string(text) + " -> " + answer);
    return options_.clockAnswer;
}

bool HeadlessToolkit::isTopmost(const std::string& formName) const {
    return std::find(topmost_.begin(), topmost_.end(), formName) != topmost_.end();
}

std::optional<dialogs::RoundRegion> HeadlessToolkit::regionOf(const std::string& formName) const {
    for (const auto& [name, region] : regions_)
        if (name == formName) return region;
    return std::nullopt;
}

// ---- Forms -----------------------------------------------------------------------------

void HeadlessToolkit::formLoaded(Form& form) { record(Record::Kind::Load, form.name(), {}); }

void HeadlessToolkit::formUnloaded(Form& form) {
    // A window that is gone loses its flags; a new instance starts afresh.
    std::erase(topmost_, form.name());
    std::erase_if(regions_, [&](const auto& entry) { return entry.first == form.name(); });
    record(Record::Kind::Unload, form.name(), {});
}

void HeadlessToolkit::showForm(Form& form, dialogs::ShowMode mode) {
    if (mode == dialogs::ShowMode::Modeless) {
        record(Record::Kind::Show, form.name(), {});
        return;
    }
    record(Record::Kind::Show, form.name(), "modal");
    auto it = std::find_if(modals_.begin(), modals_.end(),
                           [&](const Modal& m) { return dialogs::sameName(m.form, form.name()); });
    if (it == modals_.end()) {
        fail("modal form " + form.name() + " shown with nothing queued to act on it");
        form.hide();
        return;
    }
    auto actor = std::move(it->actor);
    modals_.erase(it);
    actor(form);
    form.hide();  // a modal show ends when the form is hidden or unloaded
}

void HeadlessToolkit::hideForm(Form& form) { record(Record::Kind::Hide, form.name(), {}); }

}  // namespace vorra::headless
