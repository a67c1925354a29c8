#pragma once
// The world-clock page: its address, fetching it (bounded in time and size) and
// reading the current date and time out of it.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "addin/datetool/SystemClock.h"

namespace vorra {

// The service and the page that shows the current time of the user's city.
inline constexpr const char* kClockHost = "www.timeanddate.com";
inline constexpr const char* kClockPagePath = "/worldclock/city.html?n=33&Refresh=";
// Names another host (and port) to ask instead, for a local test server.
inline constexpr const char* kClockHostVariable = "VORRA_CLOCK_HOST";

// The fragment that introduces the time on the page; two blanks before "class".
inline constexpr const char* kCurrentTimeMarker = "Current Time";
inline constexpr const char* kCurrentTimeFragment = "Current Time</th><td><strong id=ct  class=big>";
inline constexpr const char* kCurrentTimeEnd = "</strong>";

// Limits of one request: the page is a few kilobytes; a redirect is followed only to the
// same host, a few times at most.
inline constexpr long kClockTimeoutMs = 10000;
inline constexpr std::size_t kMaxClockPageBytes = 1 << 20;
inline constexpr int kMaxClockRedirects = 3;

// The years a current date on the page may have: none before this program was
// released, none after 2099.
inline constexpr int kReleaseYear = 2026;
inline constexpr int kLastClockYear = 2099;

// Why the time could not be had from the page.
class ClockPageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The host to ask: the override variable when it is set, else kClockHost. A variable
// that is set but is no host name or "host:port" (a port from 1 to 65535) throws
// ClockPageError: a test address that is wrong never falls back to the public page.
std::string clockHost();

// "http://" host + path + the random number's text, so that no cache answers.
std::string clockPageAddress(const std::string& host, const std::string& refresh);

// A number in [0, 1) from a generator seeded from the clock, as text ("0.7055475").
std::string randomRefreshText();

// Fetches the page with a GET request, following a redirect only to the same host.
// Throws ClockPageError when there is no answer within the time limit, the server
// answers with an error status or redirects elsewhere (or too often), or the answer
// grows beyond maxBytes.
std::string fetchClockPage(const std::string& address, long timeoutMs = kClockTimeoutMs,
                           std::size_t maxBytes = kMaxClockPageBytes);

// The date and time the page shows: the text from "Current Time" to the next
// "</strong>", without the fragment, split at ","; part 1 is the date, part 2 the time.
// Throws ClockPageError naming what is missing, or when the year lies outside
// kReleaseYear to kLastClockYear.
LocalDateTime readClockPage(std::string_view page);

}  // namespace vorra
