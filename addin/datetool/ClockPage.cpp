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

bool isPlainHost(std::string_view host) {
    if (host.empty() || host.size() > 253) return false;
    for (char c : host)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == ':')) return false;
    return true;
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
    if (override && isPlainHost(override)) return override;
    return kClockHost;
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

std::string fetchClockPage(const std::string& address, long timeoutMs, std::size_t maxBytes) {
    static std::once_flag curlReady;
    std::call_once(curlReady, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) throw ClockPageError("cannot start a web request");
    Download download;
    download.maxBytes = maxBytes;
    char error[CURL_ERROR_SIZE] = {};
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, address.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 3L);
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
    return std::move(download.body);
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
    LocalDateTime value = *date;
    value.hour = time->hour;
    value.minute = time->minute;
    value.second = time->second;
    return value;
}

}  // namespace vorra
