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

namespace {
const char kRerun[] = "ORVANE_TEST_AUTHORITY_RERUN=1";
}  // namespace

bool RerunUnderTestAuthority() {
  if (std::getenv("ORVANE_TEST_TLS_CERT")) return false;
  if (std::getenv("ORVANE_TEST_AUTHORITY_RERUN")) {
    ADD_FAILURE() << "tools/with-test-authority could not give a test authority: see above";
    return true;
  }
  const ::testing::TestInfo& test = *::testing::UnitTest::GetInstance()->current_test_info();
  std::vector<std::string> arguments = {std::string(ORVANE_SOURCE_DIR) + "/tools/with-test-authority",
                                        std::filesystem::read_symlink("/proc/self/exe").string(),
                                        std::string("--gtest_filter=") + test.test_suite_name() + "." + test.name()};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  std::vector<char*> environment;
  for (char** variable = environ; *variable; ++variable) environment.push_back(*variable);
  std::string rerun = kRerun;
  environment.push_back(rerun.data());
  environment.push_back(nullptr);
  pid_t pid = 0;
  int status = -1;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environment.data()) == 0) ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the run under the test authority failed: see above";
  return true;
}

}  // namespace orvane::testing
