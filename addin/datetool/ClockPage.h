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

// Limits of one request: the page is a few kilobytes.
inline constexpr long kClockTimeoutMs = 10000;
inline constexpr std::size_t kMaxClockPageBytes = 1 << 20;

// Why the time could not be had from the page.
class ClockPageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The host to ask: the override variable when it holds a plain host name or
// "host:port", else kClockHost.
std::string clockHost();

// "http://" host + path + the random number's text, so that no cache answers.
std::string clockPageAddress(const std::string& host, const std::string& refresh);

// A number in [0, 1) from a generator seeded from the clock, as text ("0.7055475").
std::string randomRefreshText();

// Fetches the page with a GET request. Throws ClockPageError when there is no answer
// within the time limit, the server answers with an error status, or the answer grows
// beyond maxBytes.
std::string fetchClockPage(const std::string& address, long timeoutMs = kClockTimeoutMs,
                           std::size_t maxBytes = kMaxClockPageBytes);

// The date and time the page shows: the text from "Current Time" to the next
// "</strong>", without the fragment, split at ","; part 1 is the date, part 2 the time.
// Throws ClockPageError naming what is missing.
LocalDateTime readClockPage(std::string_view page);

}  // namespace vorra
