#pragma once
// The HTTPS tests need the test certificate authority in the system's trust store, which only
// tools/with-test-authority gives (in a mount namespace of its own). A test calls
// RerunUnderTestAuthority() first and returns at once when it answers true: outside the
// authority, on Linux, the current test has then run again under it, in a process of its own,
// and its outcome is this test's; under Wine, whose runner (tools/wine-test) puts every test
// under it, a test outside it fails.

namespace orvane::testing {

bool RerunUnderTestAuthority();

}  // namespace orvane::testing
