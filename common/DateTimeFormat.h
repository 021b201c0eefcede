#pragma once
// The date-time format language of log time stamps and file-name masks.

#include <string>
#include <string_view>

#include "common/DateTime.h"

namespace orvane {

// Renders Value with Format, using the user's regional settings (the RegionalSettings port);
// at most 256 characters.
std::string FormatDateTime(std::string_view format, TDateTime value);

}  // namespace orvane
