#pragma once
// Regional settings a test chooses; the defaults are the plain ones ("-", ":", English names).

#include "tests/support/ScopedPort.h"
#include "platform/RegionalSettings.h"

namespace orvane::testing {

class FakeRegionalSettings : public RegionalSettings {
 public:
  const FormatSettings& Settings() override { return settings; }
  FormatSettings settings;
};

struct ScopedFakeRegionalSettings {
  FakeRegionalSettings regional;
  ScopedPort<RegionalSettings> port{regional};
};

}  // namespace orvane::testing
