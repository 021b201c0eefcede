#pragma once
// The latest value that one thread publishes and another reads, without a lock: three slots, the
// writer fills its own and swaps it with the middle one, the reader swaps the middle one with its
// own when it is fresh. Neither ever waits for the other.

#include <atomic>

namespace orvane {

template <class T>
class TLatestValue {
 public:
  // The writer's side.
  void Publish(const T& value) {
    slots_[back_] = value;
    back_ = middle_.exchange(back_ | kFresh, std::memory_order_acq_rel) & kIndex;
  }
  // The reader's side: true, with the value, when one was published since the last Take.
  bool Take(T& value) {
    if ((middle_.load(std::memory_order_acquire) & kFresh) == 0) return false;
    front_ = middle_.exchange(front_, std::memory_order_acq_rel) & kIndex;
    value = slots_[front_];
    return true;
  }

 private:
  static constexpr int kIndex = 3;
  static constexpr int kFresh = 4;
  T slots_[3]{};
  int back_ = 0;
  std::atomic<int> middle_{1};
  int front_ = 2;
};

}  // namespace orvane
