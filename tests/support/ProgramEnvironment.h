#pragma once
// A test binary starts and ends as the program does: its tests run between TOrvaneProgram's
// start-up (COM for the main thread, which the logging configuration's XML parser needs on
// Windows) and its end (the application logger stops before the process's statics go).

#include <gtest/gtest.h>

#include <optional>

#include "app/OrvaneProgram.h"

namespace orvane::testing {

class ProgramEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { program_.emplace(); }
  void TearDown() override { program_.reset(); }

 private:
  std::optional<TOrvaneProgram> program_;
};

}  // namespace orvane::testing
