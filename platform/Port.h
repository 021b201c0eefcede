#pragma once
// A port is the least interface the core needs of one platform facility. Each port's adapter
// file defines PlatformAdapter<ThatPort>(); tests put a fake in its place (tests/support's
// ScopedPort).

#include <atomic>

namespace orvane {

template <class P>
P& PlatformAdapter();

template <class P>
struct PortSlot {
  static inline std::atomic<P*> current{nullptr};
};

// The port's implementation in force: a test's fake, else the platform's adapter.
template <class P>
P& Port() {
  P* fake = PortSlot<P>::current.load(std::memory_order_acquire);
  return fake ? *fake : PlatformAdapter<P>();
}

// Puts Fake in force (none: the platform's adapter again); returns the one it replaces.
template <class P>
P* ReplacePortForTesting(P* fake) {
  return PortSlot<P>::current.exchange(fake);
}

}  // namespace orvane
