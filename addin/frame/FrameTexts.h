#pragma once
// Texts of the add-in frame, exactly as the system shows them.

#include "addin/frame/TemplateLayout.h"

namespace vorra::texts {

inline constexpr const char* kSheetFillIn = layout::kSheetFillIn;

// The legacy command bar.
inline constexpr const char* kBarName = "【Excel支票Quorvan】：";

// The about message.
inline constexpr const char* kAboutTitle = "Excel支票Quorvan：";

}  // namespace vorra::texts
