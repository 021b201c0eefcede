#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/UnixProgram.h"

namespace orvane::testing {
namespace {

// Leaves a value in the stack below the caller's frame, where the next call's locals will lie,
// as an earlier call of the same process would.
[[gnu::noinline]] void LeaveOnTheStack(HANDLE value) {
  volatile HANDLE slots[16384];
  for (volatile HANDLE& slot : slots) slot = value;
}

// Wine starts a Linux program as a Unix process and gives back no handle of it: with Wine 8 the
// process information holds whatever its caller's stack held. Closing that takes a handle from
// the code that owns it (in one test process: advapi32's key of HKEY_LOCAL_MACHINE, after which
// no HTTPS download could check a certificate).
TEST(UnixProgramUnderWine, StartingOneClosesNoHandleOfThisProcess) {
  const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  LeaveOnTheStack(event);
  { const UnixProgram program({"/bin/true"}); }
  DWORD flags = 0;
  EXPECT_TRUE(GetHandleInformation(event, &flags)) << GetLastError();
  EXPECT_TRUE(SetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  CloseHandle(event);
}

}  // namespace
}  // namespace orvane::testing
