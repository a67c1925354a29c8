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
        Click,          // click FORM.CONTROL
        Pick,           // pick "row" in FORM.CONTROL | pick #N in FORM.CONTROL
        Close,          // close FORM
        Drop,           // drop "path"... on FORM | on FORM.CONTROL
        MouseDown,      // mouse-down FORM
        AnswerMessage,  // answer message RESULT | expect message "text" [icon I] [title "t"|default] [answer R]
        AnswerInput,    // answer input "text" | answer input cancel  [prompt "p"]
        AnswerFile,     // answer file "path"... | answer file cancel  [title "t"]
        ExpectForm,     // expect form FORM shown|hidden|loaded|unloaded | expect form FORM PROPERTY "v"
        ExpectControl,  // expect FORM.CONTROL PROPERTY "value" | expect FORM.CONTROL row N "a | b"
        ExpectCell,     // expect cell REF "value"
        ExpectFile,     // expect file "path" exists|absent
        SetCell,        // set REF "text" | set REF NUMBER | set REF empty
        PrintCells,     // print REF
        PrintControl,   // print control FORM.CONTROL
        PrintForm,      // print form FORM
        Save,           // save
        SaveAs,         // save as "path"
    };

    Kind kind{};
    int line = 0;
    std::string source;  // the line as written, blanks trimmed

    std::string form;
    std::string control;
    std::string text;                // typed text, row, command, path, reference, property
    std::vector<std::string> texts;  // dropped or chosen paths
    int number = 0;                  // key code, row number (from 1), -1 when unused
    std::string expected;            // expected value text
    host::Value value;               // value to write
    bool flag = false;               // start: write the launch marker

    MessageAnswer message;
    InputAnswer input;
    FileAnswer file;
};

// Parses a whole script. Throws ScriptError naming the first bad line.
std::vector<Step> parseScript(const std::string& text);

// The known command words, for messages.
std::string knownCommands();

}  // namespace vorra::headless
