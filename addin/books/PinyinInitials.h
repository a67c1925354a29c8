#pragma once
// Pinyin initials of Chinese text, two ways:
//  - GetHzjp classifies each character by its code in the Chinese code page 936 and
//    gives lower-case initials; it is what the books store as short names and codes.
//  - GetHzjpLookup looks each character up among 23 key characters through the host's
//    approximate VLOOKUP in Chinese text order and gives upper-case initials; the
//    drop-down filters of the fill-in form use it.

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "addin/frame/host/Host.h"

namespace vorra {

std::string GetHzjp(std::string_view text);

// The key table as the host's array constant: two columns, 23 rows.
inline constexpr const char* kInitialsTableFormula =
    "{\"吖\",\"A\";\"八\",\"B\";\"嚓\",\"C\";\"咑\",\"D\";\"鵽\",\"E\";\"发\",\"F\";"
    "\"猤\",\"G\";\"铪\",\"H\";\"夻\",\"J\";\"咔\",\"K\";\"垃\",\"L\";\"嘸\",\"M\";"
    "\"旀\",\"N\";\"噢\",\"O\";\"妑\",\"P\";\"七\",\"Q\";\"囕\",\"R\";\"仨\",\"S\";"
    "\"他\",\"T\";\"屲\",\"W\";\"夕\",\"X\";\"丫\",\"Y\";\"帀\",\"Z\"}";

// Looks initials up through a host. Evaluates the key table once and remembers the
// letter of every character it has looked up, so that filtering a long book asks the
// host once per distinct character.
class HostInitialsLookup {
public:
    explicit HostInitialsLookup(host::Application& application);
    std::string initials(std::string_view text);

private:
    host::Application& application_;
    std::optional<host::Variant> table_;
    bool tableFailed_ = false;
    std::map<std::string, std::string, std::less<>> letters_;
};

// Through XlApp; an empty text if the host cannot evaluate the table.
std::string GetHzjpLookup(std::string_view text);

// Splits UTF-8 text into its characters (each as its UTF-8 bytes). Invalid bytes
// come out one by one.
std::vector<std::string> utf8Characters(std::string_view text);

}  // namespace vorra
