#pragma once
// The one error type the host raises, and the helper with which the add-in lets an
// error skip the failing statement and go on with the next one.

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace vorra::host {

// Error numbers the host uses; the message always says what went wrong.
namespace error {
inline constexpr int kSubscriptOutOfRange = 9;      // no sheet, workbook or bar of that name
inline constexpr int kTypeMismatch = 13;            // a value of the wrong kind
inline constexpr int kObjectRequired = 424;         // nothing to act on (no active sheet)
inline constexpr int kApplicationDefined = 1004;    // the host refused the operation
inline constexpr int kFileNotFound = 53;
inline constexpr int kPathNotFound = 76;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kInvalidArgument = 5;

// Why a print did not reach the printer, one number for each reason the cashier must
// be told apart: the add-in's print action reports it and records nothing.
inline constexpr int kPrinterMissing = 1101;       // the print service has no printer of that name
inline constexpr int kPrinterRejecting = 1102;     // the printer's queue does not accept jobs
inline constexpr int kPrinterPaused = 1103;        // the printer's queue is stopped (paused)
inline constexpr int kPrintJobRefused = 1104;      // the print service refused, aborted or cancelled the job
inline constexpr int kPrintJobUnconfirmed = 1105;  // the job did not start in the time allowed, and was cancelled
inline constexpr int kPrintPastPage = 1106;        // the print area does not fit on one page of its paper
}  // namespace error

class HostError : public std::runtime_error {
public:
    HostError(int number, const std::string& message)
        : std::runtime_error(message), number_(number) {}
    int number() const { return number_; }

private:
    int number_;
};

// Runs one statement; a host error (or any other failure) skips it. Returns whether
// the statement completed, for the few places that care.
template <class Statement>
bool resume(Statement&& statement) noexcept {
    try {
        std::forward<Statement>(statement)();
        return true;
    } catch (...) {
        return false;
    }
}

// Runs one statement that reports its failure: nothing when it completed, the error's
// message when it failed.
template <class Statement>
std::optional<std::string> errorOf(Statement&& statement) noexcept {
    try {
        std::forward<Statement>(statement)();
        return std::nullopt;
    } catch (const std::exception& e) {
        return std::string(e.what());
    } catch (...) {
        return std::string("unknown error");
    }
}

}  // namespace vorra::host
