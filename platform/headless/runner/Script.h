#pragma once
// The scenario language of vorra-run: one step per line, words separated by blanks,
// texts in double quotes (\" \\ \n \t inside), comments from a leading #. Parsing
// checks every line before anything runs; a malformed line is refused with its number.
// The language itself is described in platform/headless/README.md.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "addin/frame/host/Value.h"
#include "platform/headless/toolkit/HeadlessToolkit.h"

namespace vorra::headless {

// Limits on a script, which is input from outside.
inline constexpr size_t kMaxScriptBytes = 4u << 20;
inline constexpr size_t kMaxLineBytes = 64u << 10;
inline constexpr size_t kMaxDroppedFiles = 100;

class ScriptError : public std::runtime_error {
public:
    ScriptError(int line, const std::string& message)
        : std::runtime_error(message), line_(line) {}
    int line() const { return line_; }

private:
    int line_;
};

// What `expect cell` compares.
enum class CellCheck {
    AsText,     // expect cell REF "VALUE": the value as text, whatever its kind
    Displayed,  // expect cell REF text "..."
    Formula,    // expect cell REF formula "=..."
    Value,      // expect cell REF number N | empty | boolean TRUE | error "#N/A": kind and value
};

struct Step {
    enum class Kind {
        Start,          // start [version "16.0"] [marker]
        Stop,           // stop
        Open,           // open "path"
        NewWorkbook,    // new workbook
        NewSample,      // new sample
        Run,            // run COMMAND
        Type,           // type "text" into FORM.CONTROL
        Press,          // press KEY in FORM.CONTROL
        Clear,          // clear FORM.CONTROL
        Click,          // click FORM.CONTROL
        Pick,           // pick "row" in FORM.CONTROL | pick #N in FORM.CONTROL
        Select,         // select REF
        Close,          // close FORM
        Drop,           // drop "path"... on FORM | on FORM.CONTROL
        MouseDown,      // mouse-down FORM
        AnswerMessage,  // answer message RESULT | expect message "text" [icon I] [title "t"|default] [answer R]
        AnswerInput,    // answer input "text" | answer input cancel  [prompt "p"]
        AnswerFile,     // answer file "path"... | answer file cancel  [title "t"]
        ExpectForm,     // expect form FORM shown|hidden|loaded|unloaded | expect form FORM PROPERTY "v"
        ExpectControl,  // expect FORM.CONTROL PROPERTY "value"|NUMBER | expect FORM.CONTROL row N "a | b"
        ExpectCell,     // expect cell REF "value" | REF text|formula "..." | REF number N ...
        ExpectFile,     // expect file "path" exists|absent
        ExpectSheet,    // expect sheet NAME protected|unprotected
        ExpectSelection,  // expect selection REF
        ExpectPrinted,  // expect printed N [pages M]
        SetCell,        // set REF "text" | set REF NUMBER | set REF empty
        PrintCells,     // print REF
        PrintControl,   // print control FORM.CONTROL
        PrintForm,      // print form FORM
        ShowRegions,    // show regions
        Save,           // save
        SaveAs,         // save as "path"
    };

    Kind kind{};
    int line = 0;
    std::string source;  // the line as written, blanks trimmed

    std::string form;
    std::string control;
    std::string text;                // typed text, row, command, path, reference, property, sheet
    std::vector<std::string> texts;  // dropped or chosen paths
    int number = 0;                  // key code, row number (from 1), print jobs; -1 when unused
    int pages = -1;                  // expect printed: pages of the jobs together, -1 when unchecked
    std::string expected;            // expected value text
    host::Value value;               // value to write; expected value of a cell
    CellCheck check = CellCheck::AsText;
    bool flag = false;               // start: write the launch marker; expect sheet: protected

    MessageAnswer message;
    InputAnswer input;
    FileAnswer file;
};

// Parses a whole script. Throws ScriptError naming the first bad line.
std::vector<Step> parseScript(const std::string& text);

// The command words, in the order of the step table, for messages.
std::string knownCommands();

}  // namespace vorra::headless
