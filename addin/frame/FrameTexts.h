#pragma once
// Texts of the add-in frame, exactly as the system shows them.

#include <string>

#include "addin/frame/TemplateLayout.h"

namespace vorra::texts {

inline constexpr const char* kSheetFillIn = layout::kSheetFillIn;

// The legacy command bar.
inline constexpr const char* kBarName = "【Excel支票Quorvan】：";

// The add-in entry the host lists.
inline constexpr const char* kAddinFriendlyName = "Excel支票Quorvan V5.1";
// The description names the maker and how to reach it (links::kHomePage, kMailAddress).
inline std::string addinDescription(const std::string& homePage, const std::string& mail) {
    return "支票、进账单等银行票据的填写与套打。Quorvan 出品，网址：" + homePage + "，联系邮箱：" + mail;
}

// The about message.
inline constexpr const char* kAboutTitle = "Excel支票Quorvan：";

}  // namespace vorra::texts
