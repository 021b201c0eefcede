#pragma once
// The Linux regional settings: the user's LC_TIME locale through nl_langinfo, its strftime
// formats translated into the date-time format language.

#include <string>

#include "platform/RegionalSettings.h"

namespace orvane {

class PosixRegionalSettings : public RegionalSettings {
 public:
  // localeName as newlocale takes it: "" is the user's locale from the environment.
  explicit PosixRegionalSettings(std::string localeName = "");
  const FormatSettings& Settings() override;

 private:
  std::string localeName_;
  bool read_ = false;
  FormatSettings settings_;
};

// Translates a strftime format into the date-time format language; a character equal to one of
// the separators becomes the separator's token ("/" or ":"), other literal text is quoted.
std::string TranslateStrftimeFormat(const std::string& format, const std::string& dateSeparator,
                                    const std::string& timeSeparator);

}  // namespace orvane
