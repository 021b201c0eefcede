#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/TestAuthority.h"

namespace orvane::testing {

bool RerunUnderTestAuthority() {
  if (std::getenv("ORVANE_TEST_TLS_CERT")) return false;
  ADD_FAILURE() << "no test authority: run the tests through tools/wine-test";
  return true;
}

}  // namespace orvane::testing
