#include "addin/datetool/ClockPage.h"

#include <curl/curl.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>
#include <vector>

#include "addin/datetool/DateReading.h"

namespace vorra {

namespace {

// A host name of dot-separated labels (letters, digits, "-" inside), or such a name
// with ":" and a port from 1 to 65535.
bool isPlainHost(std::string_view address) {
    std::string_view host = address;
    if (auto colon = address.find(':'); colon != std::string_view::npos) {
        std::string_view port = address.substr(colon + 1);
        if (port.empty() || port.size() > 5) return false;
        long number = 0;
        for (char c : port) {
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
            number = number * 10 + (c - '0');
        }
        if (number < 1 || number > 65535) return false;
        host = address.substr(0, colon);
    }
    if (host.empty() || host.size() > 253) return false;
    for (size_t start = 0; start <= host.size();) {
        size_t dot = host.find('.', start);
        if (dot == std::string_view::npos) dot = host.size();
        std::string_view label = host.substr(start, dot - start);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') return false;
        for (char c : label)
            if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-')) return false;
        start = dot + 1;
    }
    return true;
}

// The host name of an address, in lower case; empty when it has none.
std::string hostOf(const std::string& address) {
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), &curl_url_cleanup);
    if (!url || curl_url_set(url.get(), CURLUPART_URL, address.c_str(), 0) != CURLUE_OK) return {};
    char* part = nullptr;
    if (curl_url_get(url.get(), CURLUPART_HOST, &part, 0) != CURLUE_OK || !part) return {};
    std::string host = part;
    curl_free(part);
    for (char& c : host) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return host;
}

struct Download {
    std::string body;
    std::size_t maxBytes = 0;
    bool tooLarge = false;
};

std::size_t collect(char* data, std::size_t size, std::size_t count, void* user) {
    auto* d = static_cast<Download*>(user);
    std::size_t bytes = size * count;
    if (d->body.size() + bytes > d->maxBytes) {
        d->tooLarge = true;
        return 0;  // ends the transfer with a write error
    }
    d->body.append(data, bytes);
    return bytes;
}

std::string trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' || s.back() == '\r'))
        s.remove_suffix(1);
    return std::string(s);
}

}  // namespace

std::string clockHost() {
    const char* override = std::getenv(kClockHostVariable);
    if (!override) return kClockHost;
    if (!isPlainHost(override))
        throw ClockPageError(std::string(kClockHostVariable) + " is no host name or host:port: \"" + override + "\"");
    return override;
}

std::string clockPageAddress(const std::string& host, const std::string& refresh) {
    return "http://" + host + kClockPagePath + refresh;
}

std::string randomRefreshText() {
    std::mt19937 generator(static_cast<unsigned>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ std::random_device{}()));
    double r = std::uniform_real_distribution<double>(0.0, 1.0)(generator);
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", r);
    return text;
}

namespace {

// One GET request without following redirects; the redirect's address, if the answer
// is one, goes to redirect.
std::string fetchOnce(const std::string& address, long timeoutMs, std::size_t maxBytes, std::string& redirect) {
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) throw ClockPageError("cannot start a web request");
    Download download;
    download.maxBytes = maxBytes;
    char error[CURL_ERROR_SIZE] = {};
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, address.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes));
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &collect);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &download);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    CURLcode rc = curl_easy_perform(c);
    if (download.tooLarge || rc == CURLE_FILESIZE_EXCEEDED)
        throw ClockPageError("the answer is larger than " + std::to_string(maxBytes) + " bytes");
    if (rc != CURLE_OK)
        throw ClockPageError(std::string("no answer from ") + address + ": " +
                             (error[0] ? error : curl_easy_strerror(rc)));
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    char* location = nullptr;
    redirect.clear();
    if (status >= 300 && status < 400 && curl_easy_getinfo(c, CURLINFO_REDIRECT_URL, &location) == CURLE_OK &&
        location)
        redirect = location;
    return std::move(download.body);
}

}  // namespace

std::string fetchClockPage(const std::string& address, long timeoutMs, std::size_t maxBytes) {
    static std::once_flag curlReady;
    std::call_once(curlReady, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    const std::string host = hostOf(address);
    std::string current = address;
    for (int redirects = 0;; ++redirects) {
        std::string next;
        std::string body = fetchOnce(current, timeoutMs, maxBytes, next);
        if (next.empty()) return body;
        if (redirects == kMaxClockRedirects) throw ClockPageError("too many redirects from " + address);
        // The page may move on its own host (another path, http to https), not elsewhere.
        if (host.empty() || hostOf(next) != host)
            throw ClockPageError("the clock page redirects to another host: " + next);
        current = next;
    }
}

LocalDateTime readClockPage(std::string_view page) {
    auto start = page.find(kCurrentTimeMarker);
    if (start == std::string_view::npos) throw ClockPageError("the page shows no \"Current Time\"");
    auto end = page.find(kCurrentTimeEnd, start);
    if (end == std::string_view::npos) throw ClockPageError("the time on the page is not complete");
    std::string text(page.substr(start, end - start));
    std::string_view fragment = kCurrentTimeFragment;
    for (auto at = text.find(fragment); at != std::string::npos; at = text.find(fragment, at))
        text.erase(at, fragment.size());

    std::vector<std::string> parts;
    for (size_t from = 0;;) {
        auto comma = text.find(',', from);
        parts.push_back(trim(std::string_view(text).substr(from, comma - from)));
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    if (parts.size() < 3) throw ClockPageError("the time on the page has no date and time parts");
    auto date = readDate(parts[1]);
    auto time = readTime(parts[2]);
    if (!date || !time)
        throw ClockPageError("\"" + parts[1] + ", " + parts[2] + "\" is not a date and time");
    if (date->year < kReleaseYear || date->year > kLastClockYear)
        throw ClockPageError("the page's year " + std::to_string(date->year) + " cannot be the current one");
    LocalDateTime value = *date;
    value.hour = time->hour;
    value.minute = time->minute;
    value.second = time->second;
    return value;
}

}  // namespace vorra
