#include "Script.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <string_view>

#include "platform/headless/toolkit/UserActions.h"
#include "platform/headless/toolkit/Utf8.h"

namespace vorra::headless {

namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

std::vector<Token> tokenize(const std::string& line, int number) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        Token token;
        if (c == '"') {
            token.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d != '\\') {
                    token.text += d;
                    continue;
                }
                if (i >= line.size()) break;
                char e = line[i++];
                switch (e) {
                    case '"': token.text += '"'; break;
                    case '\\': token.text += '\\'; break;
                    case 'n': token.text += '\n'; break;
                    case 'r': token.text += '\r'; break;
                    case 't': token.text += '\t'; break;
                    default:
                        throw ScriptError(number, std::string("unknown escape \\") + e + " in quoted text");
                }
            }
            if (!closed) throw ScriptError(number, "unterminated quoted text");
            if (i < line.size() && line[i] != ' ' && line[i] != '\t')
                throw ScriptError(number, "a blank must follow the closing quote");
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
                if (line[i] == '"') throw ScriptError(number, "quote inside a word: put the whole text in quotes");
                token.text += line[i++];
            }
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

// Reads the tokens of one line, with messages that say what was expected.
class Line {
public:
    Line(std::vector<Token> tokens, int number) : tokens_(std::move(tokens)), number_(number) {}

    bool atEnd() const { return next_ >= tokens_.size(); }
    [[noreturn]] void error(const std::string& message) const { throw ScriptError(number_, message); }

    // The next token must be this keyword.
    void keyword(const char* word) {
        if (atEnd() || tokens_[next_].quoted || tokens_[next_].text != word)
            error(std::string("expected '") + word + "'" + found());
        ++next_;
    }
    bool accept(const char* word) {
        if (atEnd() || tokens_[next_].quoted || tokens_[next_].text != word) return false;
        ++next_;
        return true;
    }
    std::string quoted(const char* what) {
        if (atEnd() || !tokens_[next_].quoted) error(std::string("expected ") + what + " in quotes" + found());
        return tokens_[next_++].text;
    }
    std::string word(const char* what) {
        if (atEnd()) error(std::string("expected ") + what + " at the end of the line");
        return tokens_[next_++].text;
    }
    bool nextIsQuoted() const { return !atEnd() && tokens_[next_].quoted; }
    void end() {
        if (!atEnd()) error("unexpected '" + tokens_[next_].text + "' at the end of the step");
    }
    // FORM.CONTROL
    std::pair<std::string, std::string> formControl() {
        std::string target = word("FORM.CONTROL");
        auto dot = target.rfind('.');
        if (dot == std::string::npos || dot == 0 || dot + 1 == target.size())
            error("expected FORM.CONTROL, found '" + target + "'");
        return {target.substr(0, dot), target.substr(dot + 1)};
    }

private:
    std::string found() const { return atEnd() ? " at the end of the line" : ", found '" + tokens_[next_].text + "'"; }
    std::vector<Token> tokens_;
    size_t next_ = 0;
    int number_;
};

dialogs::MsgBoxResult resultByName(Line& line, const std::string& name) {
    using dialogs::MsgBoxResult;
    for (auto r : {MsgBoxResult::OK, MsgBoxResult::Cancel, MsgBoxResult::Abort, MsgBoxResult::Retry,
                   MsgBoxResult::Ignore, MsgBoxResult::Yes, MsgBoxResult::No})
        if (name == resultWord(r)) return r;
    line.error("unknown answer '" + name + "' (OK, Cancel, Abort, Retry, Ignore, Yes, No)");
}

dialogs::MsgBoxIcon iconByName(Line& line, const std::string& name) {
    using dialogs::MsgBoxIcon;
    for (auto i : {MsgBoxIcon::None, MsgBoxIcon::Critical, MsgBoxIcon::Question, MsgBoxIcon::Exclamation,
                   MsgBoxIcon::Information})
        if (name == iconWord(i)) return i;
    line.error("unknown icon '" + name + "' (None, Critical, Question, Exclamation, Information)");
}

std::optional<double> numberOf(const std::string& text) {
    double d = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), d);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(d)) return std::nullopt;
    return d;
}

int wholeNumber(Line& line, const std::string& text, const char* what, int least) {
    int n = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < least || n > 1000000)
        line.error(std::string("expected ") + what + " (a whole number from " + std::to_string(least) +
                   "), found '" + text + "'");
    return n;
}
int positiveInt(Line& line, const std::string& text, const char* what) { return wholeNumber(line, text, what, 1); }
int countOf(Line& line, const std::string& text, const char* what) { return wholeNumber(line, text, what, 0); }

void parseMessage(Line& line, Step& step, bool expectText) {
    step.kind = Step::Kind::AnswerMessage;
    if (expectText) {
        step.message.textIsPattern = line.accept("like");
        step.message.text =
            line.quoted(step.message.textIsPattern ? "the message pattern" : "the message text");
        while (!line.atEnd()) {
            if (line.accept("icon")) {
                step.message.icon = iconByName(line, line.word("an icon"));
            } else if (line.accept("title")) {
                if (line.accept("default")) step.message.title = std::optional<std::string>();
                else step.message.title = std::optional<std::string>(line.quoted("the title or 'default'"));
            } else if (line.accept("answer")) {
                step.message.answer = resultByName(line, line.word("an answer"));
            } else {
                line.error("expected icon, title or answer, found '" + line.word("") + "'");
            }
        }
    } else {
        if (!line.atEnd()) step.message.answer = resultByName(line, line.word("an answer"));
        line.end();
    }
}

// ---- One parser per step ------------------------------------------------------------------
// Each reads the words after the command into the step; the line must end after them.

using K = Step::Kind;

void parseStart(Line& line, Step& step) {
    step.kind = K::Start;
    step.text = "16.0";
    while (!line.atEnd()) {
        if (line.accept("marker")) step.flag = true;
        else if (line.accept("version")) step.text = line.quoted("the host version text");
        else line.error("expected 'version' or 'marker', found '" + line.word("") + "'");
    }
}

void parseStop(Line&, Step& step) { step.kind = K::Stop; }

void parseOpen(Line& line, Step& step) {
    step.kind = K::Open;
    step.text = line.quoted("the workbook path");
}

void parseNew(Line& line, Step& step) {
    std::string what = line.word("'workbook' or 'sample'");
    if (what == "workbook") step.kind = K::NewWorkbook;
    else if (what == "sample") step.kind = K::NewSample;
    else line.error("expected 'workbook' or 'sample', found '" + what + "'");
}

void parseRun(Line& line, Step& step) {
    step.kind = K::Run;
    step.text = line.word("the command name");
}

void parseType(Line& line, Step& step) {
    step.kind = K::Type;
    step.text = line.quoted("the text to type");
    line.keyword("into");
    std::tie(step.form, step.control) = line.formControl();
}

void parsePress(Line& line, Step& step) {
    step.kind = K::Press;
    std::string key = line.word("a key");
    try {
        step.number = keyCodeByName(key);
    } catch (const ActionError& e) {
        line.error(e.what());
    }
    line.keyword("in");
    std::tie(step.form, step.control) = line.formControl();
}

void parseClear(Line& line, Step& step) {
    step.kind = K::Clear;
    std::tie(step.form, step.control) = line.formControl();
}

void parseClick(Line& line, Step& step) {
    step.kind = K::Click;
    std::tie(step.form, step.control) = line.formControl();
}

void parsePick(Line& line, Step& step) {
    step.kind = K::Pick;
    if (line.nextIsQuoted()) {
        step.text = line.quoted("the row text");
    } else {
        std::string n = line.word("a row");
        if (n.size() < 2 || n[0] != '#') line.error("expected the row text in quotes or #N, found '" + n + "'");
        step.number = positiveInt(line, n.substr(1), "a row number after #");
    }
    line.keyword("in");
    std::tie(step.form, step.control) = line.formControl();
}

void parseSelect(Line& line, Step& step) {
    step.kind = K::Select;
    step.text = line.word("a range reference");
}

void parseClose(Line& line, Step& step) {
    step.kind = K::Close;
    step.form = line.word("the form name");
}

void parseMouseDown(Line& line, Step& step) {
    step.kind = K::MouseDown;
    step.form = line.word("the form name");
}

void parseDrop(Line& line, Step& step) {
    step.kind = K::Drop;
    while (line.nextIsQuoted()) step.texts.push_back(line.quoted("a path"));
    if (step.texts.empty()) line.error("expected one or more paths in quotes");
    if (step.texts.size() > kMaxDroppedFiles) line.error("more than 100 files to drop");
    line.keyword("on");
    std::string target = line.word("FORM or FORM.CONTROL");
    auto dot = target.rfind('.');
    step.form = dot == std::string::npos ? target : target.substr(0, dot);
    step.control = dot == std::string::npos ? std::string() : target.substr(dot + 1);
    if (step.form.empty() || (dot != std::string::npos && step.control.empty()))
        line.error("expected FORM or FORM.CONTROL, found '" + target + "'");
}

void parseAnswer(Line& line, Step& step) {
    std::string what = line.word("message, input or file");
    if (what == "message") {
        parseMessage(line, step, false);
    } else if (what == "input") {
        step.kind = K::AnswerInput;
        if (!line.accept("cancel")) step.input.text = line.quoted("the text to enter, or cancel");
        if (line.accept("prompt")) step.input.prompt = line.quoted("the expected prompt");
    } else if (what == "file") {
        step.kind = K::AnswerFile;
        if (!line.accept("cancel")) {
            while (line.nextIsQuoted()) step.texts.push_back(line.quoted("a path"));
            if (step.texts.empty()) line.error("expected one or more paths in quotes, or cancel");
            if (step.texts.size() > kMaxDroppedFiles) line.error("more than 100 files to choose");
        }
        if (line.accept("title")) step.file.title = line.quoted("the expected title");
    } else {
        line.error("expected message, input or file after answer, found '" + what + "'");
    }
}

// expect cell REF "VALUE" | text "..." | formula "..." | number N | empty | boolean B | error E
void parseExpectCell(Line& line, Step& step) {
    step.kind = K::ExpectCell;
    step.text = line.word("a cell reference");
    if (line.nextIsQuoted()) {
        step.check = CellCheck::AsText;
        step.expected = line.quoted("the expected value");
        return;
    }
    std::string what = line.word("the value in quotes, or text, formula, number, empty, boolean or error");
    if (what == "text") {
        step.check = CellCheck::Displayed;
        step.expected = line.quoted("the displayed text");
        return;
    }
    if (what == "formula") {
        step.check = CellCheck::Formula;
        step.expected = line.quoted("the formula");
        return;
    }
    step.check = CellCheck::Value;
    if (what == "empty") {
        step.value = host::Value();
    } else if (what == "number") {
        std::string n = line.word("a number");
        auto d = numberOf(n);
        if (!d) line.error("expected a number, found '" + n + "'");
        step.value = host::Value::number(*d);
    } else if (what == "boolean") {
        std::string b = line.word("TRUE or FALSE");
        if (dialogs::sameName(b, "TRUE")) step.value = host::Value::boolean(true);
        else if (dialogs::sameName(b, "FALSE")) step.value = host::Value::boolean(false);
        else line.error("expected TRUE or FALSE, found '" + b + "'");
    } else if (what == "error") {
        std::string e = line.nextIsQuoted() ? line.quoted("an error value") : line.word("an error value");
        auto error = host::errorFromText(e, true);
        if (!error)
            line.error("expected an error value (#NULL!, #DIV/0!, #VALUE!, #REF!, #NAME?, #NUM!, #N/A), found '" +
                       e + "'");
        step.value = host::Value::error(*error);
    } else {
        line.error("expected the value in quotes, or text, formula, number, empty, boolean or error, found '" +
                   what + "'");
    }
}

// expect FORM.CONTROL PROPERTY "VALUE" | PROPERTY NUMBER | row N "VALUE"
void parseExpectControl(Line& line, Step& step) {
    step.kind = K::ExpectControl;
    std::tie(step.form, step.control) = line.formControl();
    step.text = line.word("a property");
    if (step.text == "row") step.number = positiveInt(line, line.word("a row number"), "a row number");
    if (line.nextIsQuoted() || step.text == "row") {
        step.expected = line.quoted("the expected value");
        return;
    }
    std::string n = line.word("the value in quotes or a number");
    auto d = numberOf(n);
    if (!d) line.error("expected the value in quotes or a number, found '" + n + "'");
    step.expected = host::numberToText(*d);
}

void parseExpect(Line& line, Step& step) {
    if (line.accept("message")) {
        parseMessage(line, step, true);
    } else if (line.accept("form")) {
        step.kind = K::ExpectForm;
        step.form = line.word("the form name");
        step.text = line.word("shown, hidden, loaded, unloaded or a property");
        if (step.text != "shown" && step.text != "hidden" && step.text != "loaded" && step.text != "unloaded")
            step.expected = line.quoted("the expected value");
    } else if (line.accept("file")) {
        step.kind = K::ExpectFile;
        step.text = line.quoted("the file path");
        step.expected = line.word("exists or absent");
        if (step.expected != "exists" && step.expected != "absent")
            line.error("expected exists or absent, found '" + step.expected + "'");
    } else if (line.accept("cell")) {
        parseExpectCell(line, step);
    } else if (line.accept("sheet")) {
        step.kind = K::ExpectSheet;
        step.text = line.nextIsQuoted() ? line.quoted("the sheet name") : line.word("the sheet name");
        std::string state = line.word("protected or unprotected");
        if (state != "protected" && state != "unprotected")
            line.error("expected protected or unprotected, found '" + state + "'");
        step.flag = state == "protected";
    } else if (line.accept("selection")) {
        step.kind = K::ExpectSelection;
        step.text = line.word("a range reference");
    } else if (line.accept("printed")) {
        step.kind = K::ExpectPrinted;
        step.number = countOf(line, line.word("the number of print jobs"), "the number of print jobs");
        if (line.accept("pages")) step.pages = countOf(line, line.word("the number of pages"), "the number of pages");
    } else {
        parseExpectControl(line, step);
    }
}

void parseSet(Line& line, Step& step) {
    step.kind = K::SetCell;
    step.text = line.word("a cell reference");
    if (line.nextIsQuoted()) {
        step.value = host::Value::text(line.quoted("the value"));
        return;
    }
    std::string v = line.word("the value: a text in quotes, a number or empty");
    if (v == "empty") step.value = host::Value();
    else if (auto d = numberOf(v)) step.value = host::Value::number(*d);
    else line.error("expected a text in quotes, a number or empty, found '" + v + "'");
}

void parsePrint(Line& line, Step& step) {
    if (line.accept("control")) {
        step.kind = K::PrintControl;
        std::tie(step.form, step.control) = line.formControl();
    } else if (line.accept("form")) {
        step.kind = K::PrintForm;
        step.form = line.word("the form name");
    } else {
        step.kind = K::PrintCells;
        step.text = line.word("a range reference");
    }
}

void parseShow(Line& line, Step& step) {
    step.kind = K::ShowRegions;
    line.keyword("regions");
}

void parseSave(Line& line, Step& step) {
    step.kind = K::Save;
    if (line.accept("as")) {
        step.kind = K::SaveAs;
        step.text = line.quoted("the path");
    }
}

// The steps of the language: the command word and the parser of the rest of the line.
struct StepSyntax {
    std::string_view command;
    void (*parse)(Line&, Step&);
};

constexpr StepSyntax kSteps[] = {
    {"start", parseStart},   {"stop", parseStop},     {"open", parseOpen},
    {"new", parseNew},       {"run", parseRun},       {"type", parseType},
    {"press", parsePress},   {"clear", parseClear},   {"click", parseClick},
    {"pick", parsePick},     {"select", parseSelect}, {"close", parseClose},
    {"drop", parseDrop},     {"mouse-down", parseMouseDown},
    {"answer", parseAnswer}, {"expect", parseExpect}, {"set", parseSet},
    {"print", parsePrint},   {"show", parseShow},     {"save", parseSave},
};

Step parseStep(const std::string& source, int number) {
    Line line(tokenize(source, number), number);
    Step step;
    step.line = number;
    step.source = source;
    step.number = -1;
    std::string command = line.word("a command");
    auto syntax = std::find_if(std::begin(kSteps), std::end(kSteps),
                               [&](const StepSyntax& s) { return s.command == command; });
    if (syntax == std::end(kSteps))
        line.error("unknown command '" + command + "' (known: " + knownCommands() + ")");
    syntax->parse(line, step);
    line.end();
    return step;
}

}  // namespace

std::string knownCommands() {
    std::string names;
    for (const StepSyntax& s : kSteps) names += (names.empty() ? "" : ", ") + std::string(s.command);
    return names;
}

std::vector<Step> parseScript(const std::string& text) {
    if (text.size() > kMaxScriptBytes) throw ScriptError(0, "script longer than 4 MiB");
    std::vector<Step> steps;
    size_t start = 0;
    int number = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (line.size() > kMaxLineBytes) throw ScriptError(number, "line longer than 65536 bytes");
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find('\0') != std::string::npos) throw ScriptError(number, "NUL byte in the line");
        try {
            splitUtf8(line);
        } catch (const std::invalid_argument& e) {
            throw ScriptError(number, std::string("not UTF-8 text: ") + e.what());
        }
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        size_t last = line.find_last_not_of(" \t");
        steps.push_back(parseStep(line.substr(first, last - first + 1), number));
    }
    return steps;
}

}  // namespace vorra::headless
