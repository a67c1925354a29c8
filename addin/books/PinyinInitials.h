#pragma once
// Pinyin initials of Chinese text, two ways:
//  - GetHzjp classifies each character by its code in the Chinese code page 936 and
//    gives lower-case initials; it is what the books store as short names and codes.
//  - GetHzjpLookup looks each character up among 23 key characters through the host's
//    approximate VLOOKUP in Chinese text order and gives upper-case initials; the
//    drop-down filters of the fill-in form use it.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    host::Application& application() const { return application_; }
    // Whether the host could not evaluate the key table.
    bool failed() const { return tableFailed_; }

private:
    const std::string* known(std::string_view ch, char32_t cp, size_t len) const;
    const std::string& remember(std::string_view ch, char32_t cp, size_t len, std::string letter);

    host::Application& application_;
    std::optional<host::Variant> table_;
    bool tableFailed_ = false;
    // Letters of the characters of the Basic Multilingual Plane by code point: 0 not
    // looked up yet, otherwise 1 + an index into letterTexts_. Other characters (and
    // stray bytes) by their UTF-8 bytes.
    std::vector<std::uint8_t> byCodePoint_;
    std::vector<std::string> letterTexts_;
    std::map<std::string, std::string, std::less<>> letters_;
};

// Through XlApp; an empty text if the host cannot evaluate the table. The table and
// the letters are looked up once while the add-in is connected to the same host, so
// that a call costs no host call for characters seen before.
std::string GetHzjpLookup(std::string_view text);
// Forgets what GetHzjpLookup has looked up (the add-in is disconnected from its host).
void forgetHzjpLookup();

// Splits UTF-8 text into its characters (each as its UTF-8 bytes). Invalid bytes
// come out one by one.
std::vector<std::string> utf8Characters(std::string_view text);

}  // namespace vorra
