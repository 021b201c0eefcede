#include "tests/support/ProgramEnvironment.h"

namespace {

// Registered before main, so that the stock GoogleTest main runs every test inside it.
::testing::Environment* const kProgram = ::testing::AddGlobalTestEnvironment(new orvane::testing::ProgramEnvironment);

}  // namespace
