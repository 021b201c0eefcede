#pragma once
// A port is the least interface the core needs of one platform facility. Each port's adapter
// file defines PlatformAdapter<ThatPort>(); tests put a fake in its place with ScopedPort.

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

// Runs before a test's fake leaves, so that the process's background work (the logging thread)
// is done with it first.
inline std::atomic<void (*)()> gBeforeFakeLeaves{nullptr};

template <class P>
class ScopedPort {
 public:
  explicit ScopedPort(P& fake) : previous_(PortSlot<P>::current.exchange(&fake)) {}
  ~ScopedPort() {
    if (void (*settle)() = gBeforeFakeLeaves.load()) settle();
    PortSlot<P>::current.store(previous_);
  }
  ScopedPort(const ScopedPort&) = delete;
  ScopedPort& operator=(const ScopedPort&) = delete;

 private:
  P* previous_;
};

}  // namespace orvane
