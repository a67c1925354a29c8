#pragma once
// The toolkit without a display. Forms keep their own state; this toolkit records
// what a user would have seen (forms loaded, shown, hidden, unloaded, every dialog and
// every window-service call) and answers the blocking dialogs from queues that a test
// or script fills in advance.
//
// A dialog that finds no answer queued, or an answer whose expectation does not match
// what was shown, is a failure: it is recorded (the add-in's handlers swallow errors,
// so throwing alone would go unnoticed), the dialog returns the cancel answer, and
// takeFailure() hands the first failure to the test or script.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "addin/frame/dialogs/Dialogs.h"

namespace vorra::headless {

// One observable thing the toolkit did.
struct Record {
    enum class Kind {
        Load,
        Show,
        Hide,
        Unload,
        Message,
        Input,
        FileDialog,
        BuiltinDialog,
        Topmost,
        Region,
        Drag,
        ShellOpen,
        StartProgram,
        SetClock,
    };
    Kind kind;
    std::string form;    // the form concerned, empty for dialogs of the host
    std::string detail;  // what was shown or asked, and the answer

    // One line of stable text: "show TianxiePJ_frm", "message [Critical] ...".
    std::string line() const;
};

const char* kindWord(Record::Kind kind);
const char* iconWord(dialogs::MsgBoxIcon icon);
const char* resultWord(dialogs::MsgBoxResult result);
// Quotes a text for a record line: "...", with \\, \" and \n escaped.
std::string quoteText(const std::string& text);

// The answer for the next message box, with what it is expected to show.
struct MessageAnswer {
    dialogs::MsgBoxResult answer = dialogs::MsgBoxResult::OK;
    std::optional<std::string> text;                 // expected prompt, exactly
    std::optional<dialogs::MsgBoxIcon> icon;         // expected icon
    // Expected title: absent = not checked; an empty optional inside = the host's
    // default caption; a text = that title.
    std::optional<std::optional<std::string>> title;
    // The expected prompt is a shell wildcard pattern ("*", "?", "[...]"), for texts
    // that carry a time or a generated name. The record then shows the pattern, so
    // that it reads the same from run to run.
    bool textIsPattern = false;
};

// The answer for the next input box: the text entered, or a cancel.
struct InputAnswer {
    std::optional<std::string> text;  // absent: the user cancels
    std::optional<std::string> prompt;  // expected prompt
};

// The answer for the next open-file dialog: the chosen paths, none for a cancel.
struct FileAnswer {
    std::vector<std::string> paths;
    std::optional<std::string> title;  // expected title
};

struct HeadlessOptions {
    std::string desktopFolder = "/tmp";
    // When false, an unanswered dialog returns its cancel answer without a failure.
    bool requireAnswers = true;
    // What a request to set the computer's clock answers; the clock itself is never set.
    dialogs::ClockSetting clockAnswer = dialogs::ClockSetting::Done;
};

class HeadlessToolkit : public dialogs::Toolkit {
public:
    explicit HeadlessToolkit(HeadlessOptions options = {}) : options_(std::move(options)) {}
    ~HeadlessToolkit() override;

    // ---- Filling the queues. ------------------------------------------------------
    void queueMessage(MessageAnswer answer) { messages_.push_back(std::move(answer)); }
    void queueInput(InputAnswer answer) { inputs_.push_back(std::move(answer)); }
    void queueFile(FileAnswer answer) { files_.push_back(std::move(answer)); }
    // What the user does while a modal form of that name is shown; the show returns
    // when the actor returns (the form is hidden then if it is still visible).
    void queueModal(std::string formName, std::function<void(dialogs::Form&)> actor) {
        modals_.push_back({std::move(formName), std::move(actor)});
    }
    // Answers still waiting, as readable lines ("message \"...\""); empty when none.
    std::vector<std::string> unusedAnswers() const;
    void clearAnswers();

    // ---- What happened. -----------------------------------------------------------
    const std::vector<Record>& records() const { return records_; }
    // Records of one kind, as their lines.
    std::vector<std::string> lines(Record::Kind kind) const;
    void clearRecords() { records_.clear(); }
    // Called for every record as it is made (the runner prints them).
    std::function<void(const Record&)> onRecord;

    // The first failure since the last call, if any.
    std::optional<std::string> takeFailure();
    bool hasFailure() const { return !failures_.empty(); }

    // Unloads every live form as the host does when it closes (QueryClose with
    // AppWindows; a cancel is overruled).
    void unloadAll();

    // ---- dialogs::Toolkit. --------------------------------------------------------
    dialogs::MsgBoxResult messageBox(const dialogs::MessageBoxRequest& request) override;
    std::string inputBox(const dialogs::InputBoxRequest& request) override;
    std::vector<std::string> openFileDialog(const dialogs::OpenFileRequest& request) override;
    bool builtinDialog(int dialogId, const std::string& queuedKeys) override;

    void setTopmost(dialogs::Form& form) override;
    dialogs::PixelSize clientSizePixels(const dialogs::Form& form) const override;
    void setWindowRegion(dialogs::Form& form, const dialogs::RoundRegion& region) override;
    void dragByBody(dialogs::Form& form) override;
    bool shellOpen(const std::string& target, const std::string& verb) override;
    bool startProgram(const std::string& commandLine) override;
    std::string desktopFolder() const override { return options_.desktopFolder; }
    dialogs::ClockSetting setSystemClock(std::int64_t secondsSinceEpoch) override;
    // The answer the next requests to set the clock give.
    void setClockAnswer(dialogs::ClockSetting answer) { options_.clockAnswer = answer; }

    void formLoaded(dialogs::Form& form) override;
    void formUnloaded(dialogs::Form& form) override;
    void showForm(dialogs::Form& form, dialogs::ShowMode mode) override;
    void hideForm(dialogs::Form& form) override;

    // Window state the services left behind, for assertions.
    bool isTopmost(const std::string& formName) const;
    std::optional<dialogs::RoundRegion> regionOf(const std::string& formName) const;

private:
    struct Modal {
        std::string form;
        std::function<void(dialogs::Form&)> actor;
    };
    void record(Record::Kind kind, std::string form, std::string detail);
    void fail(std::string message);

    HeadlessOptions options_;
    std::deque<MessageAnswer> messages_;
    std::deque<InputAnswer> inputs_;
    std::deque<FileAnswer> files_;
    std::deque<Modal> modals_;
    std::vector<Record> records_;
    std::vector<std::string> failures_;
    std::vector<std::string> topmost_;
    std::vector<std::pair<std::string, dialogs::RoundRegion>> regions_;
};

}  // namespace vorra::headless
