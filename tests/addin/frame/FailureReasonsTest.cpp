// The Chinese reasons the add-in shows for what the host and the print service report.
#include <gtest/gtest.h>

#include <set>

#include "addin/frame/FailureReasons.h"

namespace vorra {
namespace {

TEST(FailureReasons, EveryNumberTheHostRaisesHasAReasonOfItsOwnInChinese) {
    namespace e = host::error;
    const int numbers[] = {e::kInvalidArgument, e::kOverflow,          e::kSubscriptOutOfRange, e::kTypeMismatch,
                           e::kFileNotFound,    e::kDiskFull,          e::kPermissionDenied,    e::kPathNotFound,
                           e::kObjectRequired,  e::kPrinterFailed,     e::kNoPrinter,           e::kApplicationDefined,
                           e::kSheetProtected,  e::kCellLocked,        e::kSheetHidden,         e::kWrongPassword};
    std::set<std::string> reasons;
    for (int number : numbers) {
        SCOPED_TRACE(number);
        std::string reason = failureReason({number, "Cannot change the cell: it is locked"});
        EXPECT_EQ(reason.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"), std::string::npos)
            << "no English: " << reason;
        EXPECT_TRUE(reasons.insert(reason).second) << "told apart from the others: " << reason;
    }
    EXPECT_EQ(failureReason({host::error::kCellLocked, ""}), "单元格已锁定，工作表处于保护状态。");
    EXPECT_EQ(failureReason({4711, "Something else"}), "发生未知错误（错误号 4711）。");
}

}  // namespace
}  // namespace vorra
