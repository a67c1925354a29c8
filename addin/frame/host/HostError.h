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
inline constexpr int kOverflow = 6;                 // a number too large for its kind
inline constexpr int kDiskFull = 61;                // no space left for the file
inline constexpr int kPrinterFailed = 482;          // the printer did not take or finish the job
inline constexpr int kNoPrinter = 484;              // no printer installed, or none of that name
// Refusals that hosts often raise as 1004 but that the user must tell apart.
inline constexpr int kSheetProtected = 1101;        // the operation needs an unprotected sheet
inline constexpr int kCellLocked = 1102;            // a locked cell of a protected sheet
inline constexpr int kSheetHidden = 1103;           // a hidden sheet cannot be activated
inline constexpr int kWrongPassword = 1104;         // the protection password does not match
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

// A statement's failure as the host reported it: the error number and the host's own
// description (for logs; the user is shown the add-in's reason for the number).
struct Failure {
    int number = 0;
    std::string description;
};

// Runs one statement that reports its failure: nothing when it completed, the host's
// error number and description when it failed. A failure that is no host error has
// number 0.
template <class Statement>
std::optional<Failure> failureOf(Statement&& statement) noexcept {
    try {
        std::forward<Statement>(statement)();
        return std::nullopt;
    } catch (const HostError& e) {
        return Failure{e.number(), e.what()};
    } catch (const std::exception& e) {
        return Failure{0, e.what()};
    } catch (...) {
        return Failure{0, "unknown error"};
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
