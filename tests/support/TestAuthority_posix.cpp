#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/TestAuthority.h"

extern char** environ;

namespace orvane::testing {

bool RerunUnderTestAuthority() {
  if (std::getenv("ORVANE_TEST_TLS_CERT")) return false;
  const ::testing::TestInfo& test = *::testing::UnitTest::GetInstance()->current_test_info();
  std::vector<std::string> arguments = {std::string(ORVANE_SOURCE_DIR) + "/tools/with-test-authority", std::filesystem::read_symlink("/proc/self/exe").string(),
                                        std::string("--gtest_filter=") + test.test_suite_name() + "." + test.name()};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  int status = -1;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0) ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the run under the test authority failed: see above";
  return true;
}

}  // namespace orvane::testing
