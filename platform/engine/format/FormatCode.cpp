// Parsing of number format codes: sections split at ";", then each section read
// token by token (quoted and escaped literal text, brackets, digit placeholders,
// separators, date and time codes), then minutes told from months and each date code
// resolved to the field it shows.
#include "platform/engine/format/FormatCode.h"

#include <cctype>
#include <string_view>

namespace vorra::engine::format {

namespace {

// Longest format code looked at; the host refuses longer ones.
constexpr size_t kMaxFormatLength = 255 * 4;

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool isDigitPlaceholder(char c) { return c == '0' || c == '#' || c == '?'; }

// Splits the code into sections at ";" outside quotes, brackets and escapes.
std::vector<std::string> splitSections(const std::string& code) {
    std::vector<std::string> out(1);
    bool quoted = false, bracket = false;
    for (size_t i = 0; i < code.size(); ++i) {
        char c = code[i];
        if (!quoted && !bracket && c == '\\' && i + 1 < code.size()) {
            out.back() += c;
            out.back() += code[++i];
            continue;
        }
        if (c == '"' && !bracket) quoted = !quoted;
        else if (c == '[' && !quoted) bracket = true;
        else if (c == ']' && !quoted) bracket = false;
        if (c == ';' && !quoted && !bracket) {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

// The field a date code shows. Codes of one letter repeated: "yy" and "yyyy",
// "m" to "mmmmm", "d" to "dddd", "aaa" and "aaaa", "h", "n" (minutes), "s", and the
// elapsed-time codes "[h]", "[m]", "[s]".
DateField dateFieldOf(const std::string& c) {
    if (c == "yy" || c == "y") return DateField::YearOfCentury;
    if (c[0] == 'y') return DateField::Year;
    if (c == "m") return DateField::Month;
    if (c == "mm") return DateField::Month2;
    if (c == "mmm") return DateField::MonthAbbreviation;
    if (c == "mmmmm") return DateField::MonthInitial;
    if (c[0] == 'm') return DateField::MonthName;
    if (c == "d") return DateField::Day;
    if (c == "dd") return DateField::Day2;
    if (c == "ddd") return DateField::WeekdayAbbreviation;
    if (c[0] == 'd') return DateField::WeekdayName;
    if (c == "aaa") return DateField::ChineseWeekday;
    if (c[0] == 'a') return DateField::ChineseWeekdayWithPrefix;
    if (c == "h") return DateField::Hour;
    if (c[0] == 'h') return DateField::Hour2;
    if (c == "n") return DateField::Minute;
    if (c[0] == 'n') return DateField::Minute2;
    if (c == "s") return DateField::Second;
    if (c[0] == 's') return DateField::Second2;
    if (c == "[h]") return DateField::ElapsedHours;
    if (c == "[m]") return DateField::ElapsedMinutes;
    if (c == "[s]") return DateField::ElapsedSeconds;
    return DateField::None;
}

// Reads one section's code into its items, one token at a time.
class SectionParser {
public:
    explicit SectionParser(std::string_view code) : s_(code) {}

    FormatSection parse() {
        sec_.emptyCode = s_.empty();
        sec_.mentionsText = s_.find('@') != std::string_view::npos;
        while (i_ < s_.size()) readToken();
        markMinutes();
        for (FormatItem& it : sec_.items) {
            if (it.kind == ItemKind::DatePart) it.field = dateFieldOf(it.text);
            sec_.general = sec_.general || it.kind == ItemKind::General;
            sec_.amPm = sec_.amPm || it.kind == ItemKind::AmPm;
        }
        return std::move(sec_);
    }

private:
    void readToken() {
        const char c = s_[i_];
        if (c == '"') {
            quotedText();
        } else if (c == '\\') {
            escapedCharacter();
        } else if (c == '_') {
            literal(" ");  // room for the next character's width
            i_ += 2;
        } else if (c == '*') {
            i_ += 2;  // fill character: no column width to fill here
        } else if (c == '[') {
            bracket();
        } else if (generalKeyword()) {
        } else if (isDigitPlaceholder(c)) {
            digitPlaceholder(c);
        } else if (c == ',') {
            comma();
        } else if (c == '.' && !sec_.isDate) {
            decimalPoint();
        } else if (c == '%') {
            ++sec_.percent;
            literal("%");
            ++i_;
        } else if (c == '@') {
            sec_.items.push_back({ItemKind::Text, ""});
            ++i_;
        } else if (const char lc = lower(c);
                   lc == 'y' || lc == 'm' || lc == 'd' || lc == 'h' || lc == 's' || lc == 'e' || lc == 'a') {
            dateCode(lc);
        } else {
            otherCharacter();
        }
    }

    // Literal text joins the literal before it.
    void literal(std::string_view t) {
        if (!sec_.items.empty() && sec_.items.back().kind == ItemKind::Literal) sec_.items.back().text += t;
        else sec_.items.push_back({ItemKind::Literal, std::string(t)});
    }

    // "…": the text between the quotes (to the end when the closing quote is missing).
    void quotedText() {
        size_t end = s_.find('"', i_ + 1);
        if (end == std::string_view::npos) end = s_.size();
        literal(s_.substr(i_ + 1, end - i_ - 1));
        i_ = end + 1;
    }

    // \x: one escaped character, which may be several UTF-8 bytes.
    void escapedCharacter() {
        if (i_ + 1 >= s_.size()) {
            ++i_;
            return;
        }
        size_t j = i_ + 2;
        while (j < s_.size() && isContinuationByte(s_[j])) ++j;
        literal(s_.substr(i_ + 1, j - i_ - 1));
        i_ = j;
    }

    // [DBNum1] to [DBNum3], elapsed time ([h], [mm], [ss]), currency ("[$¥-804]" shows
    // "¥"). Colours and conditions do not change the text.
    void bracket() {
        size_t end = s_.find(']', i_);
        if (end == std::string_view::npos) end = s_.size();
        std::string_view inside = s_.substr(i_ + 1, end - i_ - 1);
        std::string li;
        for (char ch : inside) li += lower(ch);
        if (li.rfind("dbnum", 0) == 0 && li.size() == 6 && li[5] >= '1' && li[5] <= '3') {
            sec_.numerals = static_cast<NumeralStyle>(li[5] - '0');
        } else if (li == "h" || li == "hh" || li == "m" || li == "mm" || li == "s" || li == "ss") {
            sec_.items.push_back({ItemKind::DatePart, "[" + li.substr(0, 1) + "]"});
            sec_.isDate = true;
        } else if (!li.empty() && li[0] == '$') {
            size_t dash = inside.find('-');
            literal(inside.substr(1, dash == std::string_view::npos ? std::string_view::npos : dash - 1));
        }
        i_ = end + 1;
    }

    // "General" (in three spellings) or the Chinese "G/通用格式".
    bool generalKeyword() {
        constexpr std::string_view kChineseGeneral = "G/通用格式";
        size_t length = 0;
        std::string_view ahead = s_.substr(i_, 7);
        if (ahead == "General" || ahead == "general" || ahead == "GENERAL") length = 7;
        else if (s_.substr(i_, kChineseGeneral.size()) == kChineseGeneral) length = kChineseGeneral.size();
        if (length == 0) return false;
        sec_.items.push_back({ItemKind::General, ""});
        i_ += length;
        return true;
    }

    // 0, # or ?: before the point one integer field, after it one fraction digit each.
    void digitPlaceholder(char c) {
        sec_.hasDigits = true;
        if (afterPoint_) {
            sec_.fraction += c;
            sec_.items.push_back({ItemKind::Fraction, std::string(1, c)});
        } else {
            if (c == '0') ++sec_.integerZeros;
            if (sec_.items.empty() || sec_.items.back().kind != ItemKind::Integer)
                sec_.items.push_back({ItemKind::Integer, ""});
        }
        ++i_;
    }

    // A "," between digit placeholders groups thousands; before any digit it is text;
    // elsewhere it is dropped.
    void comma() {
        if (sec_.hasDigits && !afterPoint_ && i_ + 1 < s_.size() && isDigitPlaceholder(s_[i_ + 1]))
            sec_.grouping = true;
        else if (!sec_.hasDigits)
            literal(",");
        ++i_;
    }

    // The first "." is the decimal point, any further one is text.
    void decimalPoint() {
        if (!afterPoint_) {
            afterPoint_ = true;
            sec_.hasPoint = true;
            sec_.items.push_back({ItemKind::Point, "."});
        } else {
            literal(".");
        }
        ++i_;
    }

    // A run of one date letter (either case): y, m, d, h, s, e (a year, once the section
    // shows a date), aaa (the Chinese weekday) and AM/PM. A lone "a", or an "e" before
    // any date code, is text.
    void dateCode(char lc) {
        const char c = s_[i_];
        if (lc == 'a' && (s_.substr(i_, 5) == "AM/PM" || s_.substr(i_, 5) == "am/pm")) {
            sec_.items.push_back({ItemKind::AmPm, "AM/PM"});
            sec_.isDate = true;
            i_ += 5;
            return;
        }
        if (lc == 'a' && (i_ + 2 >= s_.size() || lower(s_[i_ + 1]) != 'a' || lower(s_[i_ + 2]) != 'a')) {
            literal(std::string(1, c));
            ++i_;
            return;
        }
        if (lc == 'e' && !sec_.isDate) {
            literal(std::string(1, c));
            ++i_;
            return;
        }
        size_t j = i_;
        while (j < s_.size() && lower(s_[j]) == lc) ++j;
        sec_.items.push_back({ItemKind::DatePart, std::string(j - i_, lc == 'e' ? 'y' : lc)});
        sec_.isDate = true;
        i_ = j;
    }

    // Any other character (年, 月, -, /, :, blanks, …) stands for itself.
    void otherCharacter() {
        size_t j = i_ + 1;
        while (j < s_.size() && isContinuationByte(s_[j])) ++j;
        literal(s_.substr(i_, j - i_));
        i_ = j;
    }

    // "m" and "mm" right after an hour or right before seconds are minutes ("n", "nn").
    void markMinutes() {
        auto& items = sec_.items;
        for (size_t k = 0; k < items.size(); ++k) {
            FormatItem& it = items[k];
            if (it.kind != ItemKind::DatePart || (it.text != "m" && it.text != "mm")) continue;
            bool minute = false;
            for (size_t p = k; p-- > 0;) {
                if (items[p].kind != ItemKind::DatePart) continue;
                minute = items[p].text[0] == 'h' || items[p].text == "[h]";
                break;
            }
            for (size_t n = k + 1; !minute && n < items.size(); ++n) {
                if (items[n].kind != ItemKind::DatePart) continue;
                minute = items[n].text[0] == 's';
                break;
            }
            if (minute) it.text = it.text == "m" ? "n" : "nn";
        }
    }

    std::string_view s_;
    size_t i_ = 0;
    bool afterPoint_ = false;
    FormatSection sec_;
};

}  // namespace

FormatCode parseFormatCode(const std::string& code) {
    static const std::string kGeneral = "General";
    const std::string& text = code.empty() || code.size() > kMaxFormatLength ? kGeneral : code;
    FormatCode out;
    for (const std::string& section : splitSections(text)) out.sections.push_back(SectionParser(section).parse());
    return out;
}

}  // namespace vorra::engine::format
