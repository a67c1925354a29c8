#include "platform/engine/host/SheetPassword.h"

#include <openssl/evp.h>

#include <cstdio>
#include <vector>

#include "addin/frame/host/HostError.h"
#include "platform/engine/files/TextEncoding.h"

namespace vorra::engine {

namespace {

constexpr int kMaxSpinCount = 10'000'000;  // refuses files that would hang the host
constexpr size_t kMaxEncodedLength = 1024;

std::vector<unsigned char> base64Decode(const std::string& text, const char* what) {
    auto fail = [&] {
        return host::HostError(host::error::kApplicationDefined,
                               std::string("The sheet protection's ") + what + " is not valid base64");
    };
    if (text.empty() || text.size() % 4 != 0 || text.size() > kMaxEncodedLength) throw fail();
    std::vector<unsigned char> out(text.size() / 4 * 3);
    int n = EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(text.data()),
                            static_cast<int>(text.size()));
    if (n < 0) throw fail();
    size_t padding = text.ends_with("==") ? 2 : text.ends_with("=") ? 1 : 0;
    out.resize(size_t(n) - padding);
    return out;
}

const EVP_MD* digestNamed(const std::string& name) {
    if (name == "SHA-512") return EVP_sha512();
    if (name == "SHA-384") return EVP_sha384();
    if (name == "SHA-256") return EVP_sha256();
    if (name == "SHA-1") return EVP_sha1();
    return nullptr;
}

bool modernHashMatches(const SheetProtection& p, const std::string& password) {
    const EVP_MD* md = digestNamed(p.algorithmName);
    if (!md)
        throw host::HostError(host::error::kApplicationDefined,
                              "Unsupported sheet protection algorithm \"" + p.algorithmName + "\"");
    if (p.spinCount < 0 || p.spinCount > kMaxSpinCount)
        throw host::HostError(host::error::kApplicationDefined,
                              "The sheet protection's spin count is out of range");
    auto salt = base64Decode(p.saltValue, "salt");
    auto expected = base64Decode(p.hashValue, "hash");
    std::string pw = utf16le(password);

    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    unsigned char hash[EVP_MAX_MD_SIZE];
    unsigned int hashLength = 0;
    bool ok = ctx && EVP_DigestInit_ex(ctx.get(), md, nullptr) &&
              EVP_DigestUpdate(ctx.get(), salt.data(), salt.size()) &&
              EVP_DigestUpdate(ctx.get(), pw.data(), pw.size()) &&
              EVP_DigestFinal_ex(ctx.get(), hash, &hashLength);
    for (int i = 0; ok && i < p.spinCount; ++i) {
        unsigned char counter[4] = {static_cast<unsigned char>(i), static_cast<unsigned char>(i >> 8),
                                    static_cast<unsigned char>(i >> 16),
                                    static_cast<unsigned char>(i >> 24)};
        ok = EVP_DigestInit_ex(ctx.get(), md, nullptr) &&
             EVP_DigestUpdate(ctx.get(), hash, hashLength) &&
             EVP_DigestUpdate(ctx.get(), counter, sizeof counter) &&
             EVP_DigestFinal_ex(ctx.get(), hash, &hashLength);
    }
    if (!ok) throw host::HostError(host::error::kApplicationDefined, "Hashing the password failed");
    return expected.size() == hashLength &&
           std::equal(expected.begin(), expected.end(), hash);
}

}  // namespace

std::string utf16le(const std::string& utf8) {
    std::string out;
    for (char16_t u : files::utf16FromUtf8(utf8)) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

std::string legacyPasswordHash(const std::string& password) {
    // The 16-bit scheme works on single-byte characters; a character outside that
    // range contributes its low byte.
    std::u16string units = files::utf16FromUtf8(password);
    unsigned hash = 0;
    for (auto it = units.rbegin(); it != units.rend(); ++it) {
        hash = ((hash >> 14) & 0x01) | ((hash << 1) & 0x7FFF);
        hash ^= unsigned(*it) & 0xFF;
    }
    hash = ((hash >> 14) & 0x01) | ((hash << 1) & 0x7FFF);
    hash ^= unsigned(units.size()) & 0xFFFF;
    hash ^= 0xCE4B;
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", hash & 0xFFFF);
    return buf;
}

bool passwordMatches(const SheetProtection& protection, const std::string& password) {
    if (!protection.hashValue.empty()) return modernHashMatches(protection, password);
    if (protection.passwordHash.empty()) return true;
    std::string stored = protection.passwordHash;
    for (char& c : stored) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return stored == legacyPasswordHash(password);
}

}  // namespace vorra::engine
