#include "platform/engine/files/SharedFormula.h"

#include <cctype>

#include "addin/frame/host/Address.h"

namespace vorra::engine::files {

namespace {

bool isNameChar(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '.' || u >= 0x80;
}

bool isLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

}  // namespace

std::string shiftFormula(std::string_view f, int rows, int columns) {
    std::string out;
    out.reserve(f.size() + 8);
    size_t i = 0;
    while (i < f.size()) {
        char c = f[i];
        if (c == '"' || c == '\'') {  // text literal or quoted sheet name: copy as is
            size_t j = i + 1;
            while (j < f.size()) {
                if (f[j] == c) {
                    if (j + 1 < f.size() && f[j + 1] == c) { j += 2; continue; }
                    break;
                }
                ++j;
            }
            size_t end = std::min(j + 1, f.size());
            out.append(f.substr(i, end - i));
            i = end;
            continue;
        }
        if (c == '[') {  // external book index or structured reference
            size_t j = f.find(']', i);
            size_t end = j == std::string_view::npos ? f.size() : j + 1;
            out.append(f.substr(i, end - i));
            i = end;
            continue;
        }
        bool atStart = i == 0 || !isNameChar(f[i - 1]);
        if (atStart && (c == '$' || isLetter(c))) {
            // Try [$]letters[$]digits as a whole token.
            size_t j = i;
            bool colAbs = false, rowAbs = false;
            if (f[j] == '$') { colAbs = true; ++j; }
            size_t lettersStart = j;
            while (j < f.size() && isLetter(f[j])) ++j;
            size_t letters = j - lettersStart;
            if (j < f.size() && f[j] == '$') { rowAbs = true; ++j; }
            size_t digitsStart = j;
            while (j < f.size() && isDigit(f[j])) ++j;
            size_t digits = j - digitsStart;
            bool followedByName = j < f.size() && (isNameChar(f[j]) || f[j] == '(' || f[j] == '!');
            if (letters >= 1 && letters <= 3 && digits >= 1 && digits <= 7 && !followedByName) {
                int col = 0;
                for (size_t k = lettersStart; k < lettersStart + letters; ++k)
                    col = col * 26 + (std::toupper(static_cast<unsigned char>(f[k])) - 'A' + 1);
                long row = std::stol(std::string(f.substr(digitsStart, digits)));
                if (col <= host::kMaxColumns && row >= 1 && row <= host::kMaxRows) {
                    long newCol = colAbs ? col : col + columns;
                    long newRow = rowAbs ? row : row + rows;
                    if (newCol < 1 || newCol > host::kMaxColumns || newRow < 1 || newRow > host::kMaxRows) {
                        out += "#REF!";
                    } else {
                        if (colAbs) out += '$';
                        out += host::columnLetters(int(newCol));
                        if (rowAbs) out += '$';
                        out += std::to_string(newRow);
                    }
                    i = j;
                    continue;
                }
            }
            // Not a reference: copy the whole name so its tail is not mistaken for one.
            size_t k = i;
            if (f[k] == '$') ++k;
            while (k < f.size() && isNameChar(f[k])) ++k;
            if (k == i) k = i + 1;
            out.append(f.substr(i, k - i));
            i = k;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

}  // namespace vorra::engine::files
