#include "platform/engine/formula/TextOrder.h"

#include <unicode/coll.h>
#include <unicode/tblcoll.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <mutex>
#include <stdexcept>
#include <unordered_map>

namespace vorra::engine::formula {

namespace {

// The key characters of the pinyin look-up table and their letters. Each goes to the
// very start of its letter's group, right after the group's boundary mark U+FDD0 +
// letter that the Chinese pinyin collation carries.
constexpr const char* kInitialKeys[] = {"吖", "八", "嚓", "咑", "鵽", "发", "猤", "铪",
                                        "夻", "咔", "垃", "嘸", "旀", "噢", "妑", "七",
                                        "囕", "仨", "他", "屲", "夕", "丫", "帀"};
constexpr const char kInitialLetters[] = "ABCDEFGHJKLMNOPQRSTWXYZ";

icu::UnicodeString tailoredRules() {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> base(icu::Collator::createInstance(icu::Locale("zh"), status));
    auto* rules = dynamic_cast<icu::RuleBasedCollator*>(base.get());
    if (U_FAILURE(status) || !rules) throw std::runtime_error("Chinese collation is not available");
    icu::UnicodeString text = rules->getRules();
    // The Chinese collation puts Han before every other script; the host puts Latin
    // (and, as always, spaces, punctuation, symbols and digits) before Han.
    text.findAndReplace(icu::UnicodeString("[reorder Hani]"),
                        icu::UnicodeString("[reorder Latn Hani]"));
    for (size_t i = 0; i < std::size(kInitialKeys); ++i) {
        std::string rule = "&'\xEF\xB7\x90";  // U+FDD0, the group boundary mark
        rule += kInitialLetters[i];
        rule += "'<";
        rule += kInitialKeys[i];
        text += icu::UnicodeString::fromUTF8(rule);
    }
    return text;
}

// Decodes one code point; malformed bytes count as U+FFFD so that comparison of
// hostile input stays defined.
UChar32 next(std::string_view s, size_t& i) {
    int32_t pos = static_cast<int32_t>(i);
    UChar32 c;
    U8_NEXT(reinterpret_cast<const uint8_t*>(s.data()), pos, static_cast<int32_t>(s.size()), c);
    i = static_cast<size_t>(pos);
    return c < 0 ? 0xFFFD : c;
}

std::unique_ptr<icu::Collator> buildCollator() {
    UErrorCode status = U_ZERO_ERROR;
    UParseError where{};
    icu::UnicodeString reason;
    auto collator = std::make_unique<icu::RuleBasedCollator>(tailoredRules(), where, reason, status);
    if (U_FAILURE(status)) throw std::runtime_error("Cannot build the Chinese text order");
    // Secondary strength: case differences are ignored, accents are not.
    collator->setStrength(icu::Collator::SECONDARY);
    // Fallback for collation data whose reordering is spelled differently.
    int32_t codes[] = {USCRIPT_LATIN, USCRIPT_HAN};
    collator->setReorderCodes(codes, 2, status);
    return collator;
}

}  // namespace

// The collator is made on the first comparison, not with the order: most workbooks
// are opened, filled in and saved without ever collating a text, and building the
// tailoring costs a tenth of a second. A working copy clones its prototype's then.
struct TextOrder::Impl {
    const TextOrder* prototype = nullptr;
    mutable std::once_flag made;
    mutable std::unique_ptr<icu::Collator> builtCollator;
    bool caching = false;

    icu::Collator& collator() const {
        std::call_once(made, [this] {
            if (!prototype) {
                builtCollator = buildCollator();
                return;
            }
            builtCollator.reset(prototype->impl_->collator().clone());
            if (!builtCollator) throw std::runtime_error("Cannot copy the Chinese text order");
        });
        return *builtCollator;
    }

    // Sort keys of short texts; bounded, emptied when full.
    mutable std::unordered_map<std::string, std::string> keys;

    std::string computeKey(std::string_view text) const {
        icu::UnicodeString u = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
        std::string k(64, '\0');
        int32_t n = collator().getSortKey(u, reinterpret_cast<uint8_t*>(k.data()), static_cast<int32_t>(k.size()));
        if (n > static_cast<int32_t>(k.size())) {
            k.resize(static_cast<size_t>(n));
            n = collator().getSortKey(u, reinterpret_cast<uint8_t*>(k.data()), n);
        }
        k.resize(static_cast<size_t>(n));
        return k;
    }
    const std::string& key(std::string_view text) const {
        auto it = keys.find(std::string(text));
        if (it != keys.end()) return it->second;
        return keys.emplace(std::string(text), computeKey(text)).first->second;
    }
    static constexpr size_t kMaxCachedKeys = 65536;
    static constexpr size_t kMaxCachedLength = 32;
};

TextOrder::TextOrder() : impl_(std::make_unique<Impl>()) {}

TextOrder::TextOrder(const TextOrder& prototype) : impl_(std::make_unique<Impl>()) {
    impl_->prototype = &prototype;
    impl_->caching = true;
}

TextOrder::~TextOrder() = default;

const TextOrder& TextOrder::chinese() {
    static const TextOrder order;
    return order;
}

int TextOrder::compare(std::string_view a, std::string_view b) const {
    if (a == b) return 0;
    if (impl_->caching && a.size() <= Impl::kMaxCachedLength && b.size() <= Impl::kMaxCachedLength) {
        if (impl_->keys.size() + 2 > Impl::kMaxCachedKeys) impl_->keys.clear();
        const std::string& ka = impl_->key(a);
        const std::string& kb = impl_->key(b);
        int c = ka.compare(kb);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    UErrorCode status = U_ZERO_ERROR;
    auto r = impl_->collator().compareUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
                                          icu::StringPiece(b.data(), static_cast<int32_t>(b.size())),
                                          status);
    if (U_FAILURE(status)) return a < b ? -1 : 1;
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

std::string TextOrder::sortKey(std::string_view text) const {
    if (impl_->caching && text.size() <= Impl::kMaxCachedLength) {
        if (impl_->keys.size() + 1 > Impl::kMaxCachedKeys) impl_->keys.clear();
        return impl_->key(text);
    }
    return impl_->computeKey(text);
}

int TextOrder::compareToKey(std::string_view text, const std::string& key) const {
    int c;
    if (impl_->caching && text.size() <= Impl::kMaxCachedLength) {
        if (impl_->keys.size() + 1 > Impl::kMaxCachedKeys) impl_->keys.clear();
        c = impl_->key(text).compare(key);
    } else {
        c = sortKey(text).compare(key);
    }
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool TextOrder::equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a == b) return true;
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[j]);
        if (ca < 0x80 && cb < 0x80) {
            if (ca != cb && (ca | 0x20) != (cb | 0x20)) return false;
            if (ca != cb && !((ca | 0x20) >= 'a' && (ca | 0x20) <= 'z')) return false;
            ++i, ++j;
            continue;
        }
        UChar32 x = next(a, i), y = next(b, j);
        if (x != y && u_foldCase(x, U_FOLD_CASE_DEFAULT) != u_foldCase(y, U_FOLD_CASE_DEFAULT))
            return false;
    }
    return i == a.size() && j == b.size();
}

std::vector<int32_t> TextOrder::codePoints(std::string_view text) {
    std::vector<int32_t> out;
    int32_t i = 0;
    const auto n = static_cast<int32_t>(text.size());
    while (i < n) {
        UChar32 c;
        U8_NEXT(reinterpret_cast<const uint8_t*>(text.data()), i, n, c);
        out.push_back(c < 0 ? 0xFFFD : c);
    }
    return out;
}

std::string TextOrder::fold(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            ++i;
            continue;
        }
        UChar32 f = u_foldCase(next(text, i), U_FOLD_CASE_DEFAULT);
        char buf[4];
        int32_t n = 0;
        UBool err = false;
        (void)err;
        U8_APPEND(reinterpret_cast<uint8_t*>(buf), n, 4, f, err);
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}

}  // namespace vorra::engine::formula
